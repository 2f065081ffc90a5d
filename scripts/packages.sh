# Installs the Debian packages that building, running and testing Quillory need,
# quietly and only when something is missing. Sourced by run.sh and test.sh.

quillory_packages=(
  build-essential cmake ninja-build pkg-config ccache
  qt6-base-dev libgl-dev libxcb1-dev qt6-translations-l10n
  libsqlcipher-dev sqlcipher libssl-dev
  libjpeg62-turbo-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  fonts-wqy-zenhei
  xvfb xdotool imagemagick x11-utils
  openbox trayer x11-xserver-utils xclip dbus-daemon at-spi2-core python3 python3-gi gir1.2-atspi-2.0
  libxdamage-dev libxtst-dev
)

quillory_install_packages() {
  local missing=()
  local package
  for package in "${quillory_packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$package")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0

  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
  fi
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
}
