#!/usr/bin/env bash
# Builds Quillory with AddressSanitizer and UndefinedBehaviorSanitizer and runs
# every test (GUI tests run on Qt's offscreen platform), then builds the release
# program and runs the user journeys against it on a virtual desktop.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/packages.sh
quillory_install_packages

build=build-test
# Compiler-cache hits across clones of the repository (paths are made relative).
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUILLORY_SANITIZE=ON -DQUILLORY_TESTS=ON >/dev/null
cmake --build "$build"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
scripts/sqlcipher4.sh # the store on SQLCipher 4.5.5: its tests, and files written by 3.4 and 4 read both ways

# A short fuzzing pass: every parser for a few seconds over its corpus.
scripts/fuzz.sh 4

# The release program on a virtual desktop (window manager, notification area,
# accessibility bus), driven from outside as a person and a screen reader would.
release=build
cmake -S . -B "$release" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLORY_TESTS=OFF >/dev/null
cmake --build "$release" --target Kestrelle mkudb
tests/e2e/journeys.py "$release" --unit-tests "$build"
