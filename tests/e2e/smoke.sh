#!/usr/bin/env bash
# End-to-end smoke run: starts the real program on a virtual display with a
# fresh "_.udb", logs in with the initial password, adds a record through the
# editor, finds it in the database with the sqlcipher shell and ends the
# program with "退出" -- all by clicking and typing, as a person would.
#
#   tests/e2e/smoke.sh [BUILD_DIR]     (default build-test)
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build-test}
initial_password=Quillory2010   # the delivered database's management password
database_key=Rz4nKq8wTe2m
record_name="Smoke$$"
record_qq=12345$$

for tool in Xvfb xdotool sqlcipher; do
  command -v "$tool" >/dev/null || { echo "smoke: $tool is missing" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/quillory-smoke.XXXXXX")
xvfb_pid=""
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "smoke: $*" >&2
  if [ -n "${DISPLAY:-}" ] && command -v import >/dev/null; then
    import -window root "${TMPDIR:-/tmp}/quillory-smoke-failure.png" 2>/dev/null \
      && echo "smoke: screen saved in ${TMPDIR:-/tmp}/quillory-smoke-failure.png" >&2
  fi
  exit 1
}

# The program folder: the executable beside a fresh database; its own runtime
# folder, so that a copy running elsewhere on the machine does not hold the
# single-instance lock.
cp "$build/bin/Kestrelle" "$work/"
"$build/bin/mkudb" "$work" >/dev/null
mkdir -m 700 "$work/runtime"

# A display of its own, numbered by the server.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(cat "$work/display")"

XDG_RUNTIME_DIR="$work/runtime" ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=xcb \
  "$work/Kestrelle" >"$work/program.log" 2>&1 &
app_pid=$!

# Waits (up to 30 s) for a visible window with exactly this title; prints its id.
wait_window() {
  timeout 30 xdotool search --sync --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1
}

# Clicks at x, y of a window's client area, whose size is given. A skinned
# window draws its own frame around the client (the caption above, equal
# borders on the other three sides); a plain one has no frame on a display
# without a window manager.
click_in() {
  local window=$1 client_width=$2 client_height=$3 x=$4 y=$5 X Y WIDTH HEIGHT SCREEN
  eval "$(xdotool getwindowgeometry --shell "$window")"
  local border=$(( (WIDTH - client_width) / 2 ))
  local caption=$(( HEIGHT - client_height - border ))
  xdotool mousemove --sync $((X + border + x)) $((Y + caption + y)) click 1
}
main_click() {
  click_in "$main" 716 565 "$1" "$2"
}

type_text() {
  xdotool type --delay 20 -- "$1"
}

# The login window, about one second after the start.
login=$(wait_window "管理登录") || true
[ -n "$login" ] || fail "no login window"
xdotool windowfocus --sync "$login"
type_text "$initial_password"      # into the password box, which has the focus
xdotool key Return                 # "进入" is the default button once something was typed

main=$(wait_window "Quillory") || true
[ -n "$main" ] || fail "the main window did not appear after the login"

# The editor below the grid: page "通讯录管理" starts below the tab bar.
page_x=3 page_y=$((56 + 30))       # page origin within the client area (below the tab bar)
editor_x=$((page_x + 2)) editor_y=$((page_y + 212))
main_click $((editor_x + 80)) $((editor_y + 22))    # 分类: the first of its list
xdotool key alt+Down
sleep 0.3
xdotool key Home Return
main_click $((editor_x + 80)) $((editor_y + 46))    # 姓名
type_text "$record_name"
main_click $((editor_x + 80)) $((editor_y + 70))    # QQ
type_text "$record_qq"
main_click $((editor_x + 660)) $((editor_y + 36))   # "添加"

# "添加成功." comes in a box captioned with the program's title.
box=""
for _ in $(seq 300); do
  for window in $(xdotool search --onlyvisible --name '^Quillory$' 2>/dev/null); do
    [ "$window" != "$main" ] && box=$window
  done
  [ -n "$box" ] && break
  sleep 0.1
done
[ -n "$box" ] || fail "no message box after 添加"
xdotool windowfocus --sync "$box" key Return
for _ in $(seq 100); do
  xdotool search --onlyvisible --name '^Quillory$' 2>/dev/null | grep -qx "$box" || break
  sleep 0.1
done

stored=$(sqlcipher "$work/_.udb" "PRAGMA key='$database_key'; select 分类 || '|' || 姓名 || '|' || QQ from data;" \
  | grep -v '^ok$' || true)
[ "$stored" = "网站帐号|$record_name|$record_qq" ] || fail "the database holds '$stored'"

main_click $((556 + 37)) $((510 + 12))   # "退出"
for _ in $(seq 100); do
  kill -0 "$app_pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$app_pid" 2>/dev/null; then
  fail "the program did not end after 退出"
fi
wait "$app_pid" || fail "the program ended with status $?: $(tail -n 5 "$work/program.log")"
app_pid=""
echo "smoke: logged in, added '$record_name', found it in _.udb and ended through 退出"
