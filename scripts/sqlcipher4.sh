#!/usr/bin/env bash
# Proves the record store on SQLCipher 4: builds the store's tests against the
# SQLCipher 4.5.5 amalgamation (npm package @commapp/sqlcipher-amalgamation,
# compiled with SQLITE_HAS_CODEC, SQLCIPHER_CRYPTO_OPENSSL and
# SQLITE_ENABLE_COLUMN_METADATA, linked with libcrypto) and runs them. Among
# them, files written by the system's SQLCipher 3.4 (its `sqlcipher` shell)
# open under 4 and the other way round; then a "_.udb" written by mkudb on 4
# is read by the 3.4 shell.
#
#   scripts/sqlcipher4.sh [BUILD_DIR]     (default build-sqlcipher4)
#
# The download is kept in BUILD_DIR/download: a second run needs no network.
# Needs the test packages (scripts/packages.sh): clang, GoogleTest, the sqlcipher shell.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build-sqlcipher4}
version=4.5.5
# The package's file on npm's registry, and its SHA-256: a download that is not
# exactly this file is refused.
address="https://registry.npmjs.org/@commapp/sqlcipher-amalgamation/-/sqlcipher-amalgamation-$version.tgz"
sha256=5e49e540eb0274d8ba87c1ce680a1143971a2528e0783044a08b39c97ea07d13
tarball="$build/download/sqlcipher-amalgamation-$version.tgz"
amalgamation="$build/sqlcipher-$version"

if [ ! -f "$tarball" ]; then
  mkdir -p "$build/download"
  python3 -c 'import sys, urllib.request; urllib.request.urlretrieve(sys.argv[1], sys.argv[2])' \
    "$address" "$tarball.part"
  if ! echo "$sha256  $tarball.part" | sha256sum --check --status; then
    echo "sqlcipher4: $address is not the file it should be" >&2
    rm -f "$tarball.part"
    exit 1
  fi
  mv "$tarball.part" "$tarball"
fi
if [ ! -f "$amalgamation/sqlite3.c" ]; then
  mkdir -p "$amalgamation"
  tar -xzf "$tarball" -C "$amalgamation" --strip-components=2 package/src/sqlite3.c package/src/sqlite3.h
fi
grep -q "^#define CIPHER_VERSION_NUMBER $version\$" "$amalgamation/sqlite3.c" || {
  echo "sqlcipher4: $tarball is not SQLCipher $version" >&2
  exit 1
}

source scripts/build.sh
# Configured as ./test.sh's checked build, with the engine built from the amalgamation.
quillory_configure_checked "$build" -DQUILLORY_SQLCIPHER_SOURCE="$PWD/$amalgamation"
cmake --build "$build" --target test_store mkudb

QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 \
  LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0" \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  "$build/tests/test_store" --gtest_brief=1

# The delivered file as mkudb on SQLCipher 4 writes it, read by the system's shell
# at 3.x's defaults (a 3.4 shell ignores the compatibility pragma), its answer to the
# key not shown.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bin/mkudb" "$work" >/dev/null
answer=$(printf ".output /dev/null\nPRAGMA key = 'Rz4nKq8wTe2m';\nPRAGMA cipher_compatibility = 3;\n.output stdout\nPRAGMA integrity_check;\nSELECT count(*) FROM Pass;\n" \
  | sqlcipher -batch "$work/_.udb")
[ "$answer" = "$(printf 'ok\n1')" ] || {
  echo "sqlcipher4: the system shell could not read mkudb's file: $answer" >&2
  exit 1
}
echo "sqlcipher4: the store's tests pass on SQLCipher $version; 3.4 and $version read each other's files"
