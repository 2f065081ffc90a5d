#!/usr/bin/env bash
# Builds Quillory with AddressSanitizer and UndefinedBehaviorSanitizer (one build
# for the tests and the fuzz targets) and the release program, then runs every
# test (GUI tests on Qt's offscreen platform), a short fuzzing pass over every
# parser and, meanwhile, the user journeys against the release program on a
# virtual desktop. Ends with the time each stage took.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/packages.sh
source scripts/build.sh
source scripts/stages.sh
trap quillory_stage_report EXIT

checked=build-test
release=build

stage "packages" quillory_install_packages build test
configure() {
  quillory_configure_checked "$checked"
  quillory_configure_release "$release"
}
stage "configure" configure
stage "build checked" cmake --build "$checked"
# The same release build as ./run.sh's: nothing to do when it has run.
stage "build release" cmake --build "$release" --target Kestrelle mkudb

# The journeys wait on the program most of the time: they run beside the tests,
# whose load they have to bear anyway.
journeys_log="$release/journeys.log"
stage_in_background journeys "$journeys_log" tests/e2e/journeys.py "$release" --unit-tests "$checked" --sessions 2
stage "ctest" ctest --test-dir "$checked" --output-on-failure -j "$(nproc)"
# The store on SQLCipher 4.5.5: its tests, and files written by 3.4 and 4 read both ways.
stage "sqlcipher 4" scripts/sqlcipher4.sh
# A short fuzzing pass: every parser for a few seconds over its corpus.
stage "fuzz" scripts/fuzz.sh 4
stage_wait journeys
