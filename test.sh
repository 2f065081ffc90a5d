#!/usr/bin/env bash
# Builds Quillory with AddressSanitizer and UndefinedBehaviorSanitizer and runs
# every test. GUI tests run on Qt's offscreen platform.
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

# A short fuzzing pass: every parser for a few seconds over its corpus.
scripts/fuzz.sh 4

# The real program on a virtual display, driven as a person would.
tests/e2e/smoke.sh "$build"
