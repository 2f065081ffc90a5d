# Installs the Debian packages Quillory needs, quietly and only when something
# is missing. Sourced by run.sh, test.sh and the other scripts:
#
#   quillory_install_packages build test    what building and running need, and the test tools
#
# Names are those of Debian 12 and 13 alike: meta-packages where a release
# names a versioned one (libjpeg-dev, clang), and the clang runtime that
# matches the clang installed, whichever its version.

# Building and running the program.
quillory_packages_build=(
  build-essential cmake ninja-build pkg-config ccache
  qt6-base-dev libgl-dev libxcb1-dev qt6-translations-l10n qt6-wayland
  libsqlcipher-dev libssl-dev libjpeg-dev qtkeychain-qt6-dev libuchardet-dev
  fonts-wqy-zenhei
)
# run.sh without a display: the program on a virtual one, and a picture of it.
quillory_packages_headless=(xvfb x11-utils imagemagick)
# The tests: GoogleTest, the sanitizers and the fuzzer (clang and its runtime),
# the virtual desktop of the journeys (and their Wayland desktop), the database
# shell that reads their files, the locale data the journeys run the program in,
# a Chinese input method (fcitx5 with pinyin) that they type through, two contact
# servers the sync's tests start on 127.0.0.1, and openssl for their certificates.
quillory_packages_test=(
  libgtest-dev libgmock-dev
  clang
  sqlcipher locales
  xvfb xdotool imagemagick x11-utils x11-xserver-utils openbox trayer xclip
  dbus-daemon at-spi2-core python3 python3-gi gir1.2-atspi-2.0
  weston fcitx5 fcitx5-chinese-addons fcitx5-frontend-qt6
  python3-radicale xandikos openssl curl
)
# The benchmarks (bench/).
quillory_packages_bench=(libbenchmark-dev libxdamage-dev libxtst-dev python3-radicale vdirsyncer)

# The clang runtime (sanitizers, libFuzzer) of the installed clang's version.
quillory_clang_runtime() {
  local major
  major=$(clang -dumpversion 2>/dev/null | cut -d. -f1)
  [ -n "$major" ] && echo "libclang-rt-$major-dev"
}

quillory_missing_packages() {
  local package
  for package in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
      echo "$package"
    fi
  done
}

quillory_apt_install() {
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
  fi
  echo "Installing: $*"
  if [ -z "${quillory_apt_updated:-}" ]; then
    $sudo apt-get update -qq
    quillory_apt_updated=1
  fi
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "$@" >/dev/null
}

# quillory_install_packages [build] [headless] [test] [bench]; no group: all of them.
quillory_install_packages() {
  local groups=("$@") group wanted=() missing
  [ ${#groups[@]} -eq 0 ] && groups=(build headless test bench)
  for group in "${groups[@]}"; do
    local list="quillory_packages_${group}[@]"
    wanted+=("${!list}")
  done
  missing=$(quillory_missing_packages "${wanted[@]}")
  if [ -n "$missing" ]; then
    # shellcheck disable=SC2086  # one package name a word
    quillory_apt_install $missing
  fi
  # The clang runtime is named after clang's version, known once clang is there.
  if [[ " ${wanted[*]} " == *" clang "* ]]; then
    missing=$(quillory_missing_packages "$(quillory_clang_runtime)")
    if [ -n "$missing" ]; then
      quillory_apt_install "$missing"
    fi
  fi
}
