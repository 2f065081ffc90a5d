#!/usr/bin/env bash
# Measures what the user waits for, on a virtual X display of its own (Xvfb
# with a window manager and a notification-area host): the real release
# program's window, timed from the click to the grid's last repaint, beside
# the plain C loop over the same statement (bench_window), showing the
# main window with and without its skin on that display (bench_skin_show),
# and hostile files through the import (bench_import_hostile).
# Prints Markdown tables.
#
#   bench/run.sh [--records 0,10000,100000] [--repetitions 5] [--program PATH]
#
# --program measures another build of the program against the same loops.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
quillory_install_packages

build=build
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLORY_TESTS=OFF -DQUILLORY_BENCH=ON >/dev/null
cmake --build "$build" --target Kestrelle mkudb bench_window bench_skin_show bench_import_hostile >/dev/null

work=$(mktemp -d "${TMPDIR:-/tmp}/quillory-bench.XXXXXX")
pids=()
cleanup() {
  local pid
  for pid in "${pids[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
exec 3>&-
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
[ -s "$work/display" ] || { echo "bench: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(cat "$work/display")"
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime" HOME="$work"
openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
trayer --edge bottom --align right --widthtype pixel --width 100 --height 24 >"$work/trayer.log" 2>&1 &
pids+=($!)
sleep 1

echo "## The real window (click to the grid's last repaint; medians)"
echo
"$build/bench/bench_window" --program "$build/bin/Kestrelle" --mkudb "$build/bin/mkudb" --work "$work/window" "$@"
echo
echo "## Showing the main window on the display"
echo
QT_QPA_PLATFORM=xcb "$build/bench/bench_skin_show" --benchmark_repetitions=5 \
  --benchmark_report_aggregates_only=true 2>&1 | grep -E "^(BM_|Benchmark|-)"
echo
echo "## Hostile files through the import, the skin on"
echo
QT_QPA_PLATFORM=xcb "$build/bench/bench_import_hostile" 2>/dev/null
