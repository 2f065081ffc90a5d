#!/usr/bin/env bash
# Builds and tests Quillory on Debian 13 (trixie) without a second machine: a
# chroot made with debootstrap from the Debian mirror this machine's apt uses.
# In it, the project's scripts install what they need; then it compiles every
# file alone (no unity units) in the checked build (clang, sanitizers), runs
# ctest and the short fuzzing pass, builds the release program with GCC and
# fails on any compiler warning in either build. Run as root (or through sudo).
#
#   scripts/debian13.sh [--suite SUITE] [--root DIR] [-- COMMAND ...]
#
# --suite   another Debian release (bookworm: a fresh Debian 12 machine)
# --root    the chroot's folder (default /var/tmp/quillory-SUITE); kept between
#           runs, so a second run only brings the sources up to date
# COMMAND   runs in the chroot's copy of the sources instead of the checks
#           (e.g. -- ./test.sh)
set -euo pipefail
cd "$(dirname "$0")/.."

suite=trixie
root=""
command=()
while [ $# -gt 0 ]; do
  case "$1" in
    --suite) suite=$2; shift 2 ;;
    --root) root=$2; shift 2 ;;
    --) shift; command=("$@"); break ;;
    *) echo "usage: $0 [--suite SUITE] [--root DIR] [-- COMMAND ...]" >&2; exit 2 ;;
  esac
done
root=${root:-/var/tmp/quillory-$suite}

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi

# The mirror of Debian's archive that apt uses here (deb822 or one-line sources).
mirror=$(cat /etc/apt/sources.list.d/*.sources /etc/apt/sources.list 2>/dev/null |
  grep -oE '(URIs:|^deb) +https?://[^ ]+/debian/?( |$)' | grep -oE 'https?://[^ ]+' | head -1 || true)
mirror=${mirror:-http://deb.debian.org/debian}

if [ ! -x "$root/usr/bin/apt-get" ]; then
  command -v debootstrap >/dev/null || {
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq debootstrap >/dev/null
  }
  echo "Making a $suite chroot in $root from $mirror"
  $sudo debootstrap --variant=minbase "$suite" "$root" "$mirror" >"${root%/}.debootstrap.log" 2>&1 || {
    tail -20 "${root%/}.debootstrap.log" >&2
    exit 1
  }
fi

# The kernel's file systems while the chroot runs; unmounted whatever happens.
mounted=()
unmount() {
  local i
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
    $sudo umount -l "${mounted[$i]}" 2>/dev/null || true
  done
}
trap unmount EXIT
for fs in proc sys dev dev/pts; do
  if ! mountpoint -q "$root/$fs"; then
    case "$fs" in
      proc) $sudo mount -t proc proc "$root/proc" ;;
      sys) $sudo mount -t sysfs sys "$root/sys" ;;
      dev) $sudo mount --bind /dev "$root/dev" ;;
      dev/pts) $sudo mount --bind /dev/pts "$root/dev/pts" ;;
    esac
    mounted+=("$root/$fs")
  fi
done
$sudo cp /etc/resolv.conf "$root/etc/resolv.conf"

# The sources as they are here, committed or not (the builds of an earlier run stay).
$sudo mkdir -p "$root/quillory"
$sudo find "$root/quillory" -mindepth 1 -maxdepth 1 ! -name 'build*' -exec rm -rf {} +
git ls-files -z --cached --others --exclude-standard | tar --null -T - -cf - |
  $sudo tar -C "$root/quillory" -xf -

if [ ${#command[@]} -gt 0 ]; then
  $sudo chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin \
    LANG=C.UTF-8 TERM="${TERM:-dumb}" bash -c 'cd /quillory && "$@"' bash "${command[@]}"
  exit
fi

# The checks, as a script run inside the chroot.
$sudo chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 \
  bash -s <<'CHECKS'
set -euo pipefail
cd /quillory
source scripts/packages.sh
source scripts/build.sh
source scripts/stages.sh
trap quillory_stage_report EXIT
. /etc/os-release
echo "$PRETTY_NAME"

warnings() { # LOG: fails when the build printed a compiler warning
  if grep -E 'warning:' "$1" | sort -u | tee "$1.warnings" | grep -q .; then
    echo "compiler warnings ($(wc -l <"$1.warnings")), in $1:"
    head -20 "$1.warnings"
    return 1
  fi
}
checked() {
  quillory_configure_checked build-test -DQUILLORY_UNITY=OFF
  cmake --build build-test >build-test/build.log 2>&1 || { tail -30 build-test/build.log; return 1; }
  warnings build-test/build.log
}
release() {
  quillory_configure_release build
  cmake --build build --target Kestrelle mkudb >build/build.log 2>&1 || { tail -30 build/build.log; return 1; }
  warnings build/build.log
}

stage "packages" quillory_install_packages build test
echo "$(cmake --version | head -1); $(c++ --version | head -1); $(clang --version | head -1)"
echo "Qt $(dpkg-query -W -f='${Version}' qt6-base-dev); SQLCipher $(dpkg-query -W -f='${Version}' libsqlcipher-dev)"
failed=()
stage "build checked" checked || failed+=("build checked")
stage "build release" release || failed+=("build release")
stage "ctest" ctest --test-dir build-test --output-on-failure -j "$(nproc)" >build-test/ctest.log 2>&1 ||
  failed+=("ctest")
grep -E '^[0-9]+% tests passed|\(Failed\)|\(Timeout\)|\(SEGFAULT\)' build-test/ctest.log | tail -200
stage "fuzz" scripts/fuzz.sh 4 || failed+=("fuzz")
if [ ${#failed[@]} -gt 0 ]; then
  echo "failed: ${failed[*]} (logs under $(pwd)/build-test and build in the chroot)"
  exit 1
fi
CHECKS
