#!/usr/bin/env bash
# A contact server (Radicale, its storage in /dev/shm) holding an address book
# of many cards, synced by Quillory (bench_sync: a first download, a sync with
# nothing changed, one after one edit) and, in the same run, by another
# client syncing the same book into a folder (vdirsyncer). Prints Markdown tables.
#
#   bench/sync.sh [--cards 10000]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
quillory_install_packages build bench

cards=10000
while [ $# -gt 0 ]; do
  case "$1" in
    --cards) cards=$2; shift 2 ;;
    *) echo "unknown argument $1" >&2; exit 2 ;;
  esac
done

build=build
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLORY_TESTS=OFF -DQUILLORY_BENCH=ON >/dev/null
cmake --build "$build" --target bench_sync >/dev/null

work=$(mktemp -d /dev/shm/quillory-sync-bench.XXXXXX)
server=""
cleanup() {
  [ -n "$server" ] && kill "$server" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

port=$(/usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
echo "alice:secret" >"$work/users"
cat >"$work/config" <<CONFIG
[server]
hosts = 127.0.0.1:$port
[auth]
type = htpasswd
htpasswd_filename = $work/users
htpasswd_encryption = plain
delay = 0
[storage]
filesystem_folder = $work/storage
[logging]
level = warning
CONFIG
(cd "$work" && exec /usr/bin/python3 -m radicale --config "$work/config" 2>"$work/log") &
server=$!
for _ in $(seq 300); do
  curl -s -o /dev/null "http://127.0.0.1:$port/" && break
  sleep 0.1
done
book="http://127.0.0.1:$port/alice/book/"
curl -s -u alice:secret -X MKCOL -H 'Content-Type: application/xml' "$book" --data-binary \
  '<mkcol xmlns="DAV:" xmlns:C="urn:ietf:params:xml:ns:carddav"><set><prop><resourcetype><collection/><C:addressbook/></resourcetype></prop></set></mkcol>' >/dev/null
# The cards go straight into the server's storage, as if phones had put them there.
/usr/bin/python3 - "$work/storage/collection-root/alice/book" "$cards" <<'PYTHON'
import sys
from pathlib import Path
folder, count = Path(sys.argv[1]), int(sys.argv[2])
for i in range(count):
    (folder / f"card{i:05d}.vcf").write_text(
        "BEGIN:VCARD\r\nVERSION:3.0\r\n"
        f"UID:card{i:05d}\r\nFN:联系人{i}\r\nN:联系人{i};;;;\r\n"
        f"TEL;TYPE=CELL:+86 138 {i:04d} {i % 9973:04d}\r\nEMAIL;TYPE=INTERNET:person{i}@example.cn\r\n"
        f"ORG:公司{i % 97}\r\nNOTE:第{i}张名片\r\nCATEGORIES:朋友\r\nEND:VCARD\r\n", encoding="utf-8")
PYTHON
echo "Radicale 3 on 127.0.0.1, storage in /dev/shm, $cards cards"
echo
"$build/bench/bench_sync" "$book" alice secret
echo

# The same book synced into a folder by another client.
mkdir -p "$work/vdir/contacts" "$work/vdir/status"
cat >"$work/vdir/config" <<CONFIG
[general]
status_path = "$work/vdir/status"
[pair contacts]
a = "local"
b = "server"
collections = null
[storage local]
type = "filesystem"
path = "$work/vdir/contacts"
fileext = ".vcf"
[storage server]
type = "carddav"
url = "$book"
username = "alice"
password = "secret"
CONFIG
vdirsyncer -c "$work/vdir/config" discover contacts </dev/null >"$work/vdir/log" 2>&1 || { cat "$work/vdir/log" >&2; exit 1; }
seconds() { /usr/bin/python3 -c 'import time; print(f"{time.monotonic():.3f}")'; }
start=$(seconds)
vdirsyncer -c "$work/vdir/config" sync >/dev/null 2>"$work/vdir/log" || { cat "$work/vdir/log" >&2; exit 1; }
middle=$(seconds)
vdirsyncer -c "$work/vdir/config" sync >/dev/null 2>>"$work/vdir/log"
end=$(seconds)
downloaded=$(ls "$work/vdir/contacts" | wc -l)
echo "| vdirsyncer into a folder | wall |"
echo "|---|---:|"
/usr/bin/python3 -c "print(f'| first download ({$downloaded} cards) | {$middle - $start:.2f} s |'); print(f'| nothing changed | {$end - $middle:.2f} s |')"
