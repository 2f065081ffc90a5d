#!/usr/bin/env bash
# Builds Quillory (release), prepares the program folder build/bin with a fresh
# "_.udb" when none is there, and starts the program. Without a display it runs
# the program on a virtual X display and saves a screenshot instead.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/packages.sh
source scripts/build.sh
if [ -n "${DISPLAY:-}" ]; then
  quillory_install_packages build
else
  quillory_install_packages build headless
fi

build=build
quillory_configure_release "$build"
cmake --build "$build" --target Kestrelle mkudb

program_folder="$build/bin"
if [ ! -e "$program_folder/_.udb" ]; then
  "$program_folder/mkudb" "$program_folder"
fi

if [ -n "${DISPLAY:-}" ]; then
  exec "$program_folder/Kestrelle"
fi

# No display: show the program on a virtual one for two seconds and keep a picture of it.
display=":$(( 90 + RANDOM % 100 ))"
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill "$program_pid" "$xvfb_pid" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
  DISPLAY="$display" xdpyinfo >/dev/null 2>&1 && break
  sleep 0.1
done
DISPLAY="$display" "$program_folder/Kestrelle" &
program_pid=$!
sleep 2
DISPLAY="$display" import -window root "$build/screenshot.png"
echo "No display: Quillory ran on a virtual display; what it showed is in $build/screenshot.png"
