# The project's two builds, configured alike by every script. Sourced.
#
#   quillory_configure_release DIR [cmake args]   the program as users get it (Release)
#   quillory_configure_checked DIR [cmake args]   clang, AddressSanitizer and
#       UndefinedBehaviorSanitizer, every test program and every fuzz target in one
#       build: the program's libraries carry the fuzzer's coverage hooks, which
#       cost the tests little, so the fuzz targets need no second build
#
# Both compile in unity units (QUILLORY_UNITY); pass -DQUILLORY_UNITY=OFF to
# compile every file alone.

# Compiler-cache hits across clones of the repository (paths are made relative).
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1

quillory_configure_release() {
  local dir=$1
  shift
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLORY_TESTS=OFF \
    -DQUILLORY_UNITY=ON "$@" >/dev/null
}

quillory_configure_checked() {
  local dir=$1
  shift
  # The tests compile unoptimised (optimising them with the sanitizers on would
  # take two to three times as long) and the fuzzed libraries with -O1 (see
  # fuzz/CMakeLists.txt); line tables are all the sanitizers' stack traces need.
  # Assertions stay on.
  # A build folder that another compiler configured is configured afresh.
  if [ -f "$dir/CMakeCache.txt" ] && ! grep -q '^CMAKE_CXX_COMPILER:.*clang' "$dir/CMakeCache.txt"; then
    echo "$dir: configured afresh for clang"
    rm -rf "$dir/CMakeCache.txt" "$dir/CMakeFiles"
  fi
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_C_FLAGS_DEBUG="-gline-tables-only" -DCMAKE_CXX_FLAGS_DEBUG="-gline-tables-only" \
    -DQUILLORY_SANITIZE=ON -DQUILLORY_TESTS=ON -DQUILLORY_FUZZ=ON -DQUILLORY_UNITY=ON "$@" >/dev/null
}
