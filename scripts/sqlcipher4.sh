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
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build-sqlcipher4}
version=4.5.5
package=@commapp/sqlcipher-amalgamation
tarball="$build/download/commapp-sqlcipher-amalgamation-$version.tgz"
source="$build/sqlcipher-$version"

if [ ! -f "$tarball" ]; then
  if ! command -v npm >/dev/null; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq npm >/dev/null
  fi
  mkdir -p "$build/download"
  (cd "$build/download" && npm pack --silent "$package@$version" >/dev/null)
fi
if [ ! -f "$source/sqlite3.c" ]; then
  mkdir -p "$source"
  tar -xzf "$tarball" -C "$source" --strip-components=2 package/src/sqlite3.c package/src/sqlite3.h
fi
grep -q "^#define CIPHER_VERSION_NUMBER $version\$" "$source/sqlite3.c" || {
  echo "sqlcipher4: $tarball is not SQLCipher $version" >&2
  exit 1
}

export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUILLORY_SANITIZE=ON -DQUILLORY_TESTS=ON \
  -DQUILLORY_SQLCIPHER_SOURCE="$PWD/$source" >/dev/null
cmake --build "$build" --target test_store mkudb

QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 \
  LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0" \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  "$build/tests/test_store" --gtest_brief=1

# The delivered file as mkudb on SQLCipher 4 writes it, read by the 3.4 shell.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bin/mkudb" "$work" >/dev/null
answer=$(printf "PRAGMA key = 'Rz4nKq8wTe2m';\nPRAGMA integrity_check;\nSELECT count(*) FROM Pass;\n" \
  | sqlcipher -batch "$work/_.udb")
[ "$answer" = "$(printf 'ok\n1')" ] || {
  echo "sqlcipher4: the 3.4 shell could not read mkudb's file: $answer" >&2
  exit 1
}
echo "sqlcipher4: the store's tests pass on SQLCipher $version; 3.4 and $version read each other's files"
