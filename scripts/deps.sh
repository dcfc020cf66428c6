# Sourced by scripts/test and scripts/run: installs the Debian packages the
# build, the tests and the program need, when any is missing.

z5_packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-webengine-dev qt6-webchannel-dev qt6-multimedia-dev libqt6webenginecore6-bin
  qt6-image-formats-plugins qt6-qpa-plugins libgl-dev libxkbcommon-dev
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-libav
  gstreamer1.0-plugins-ugly gstreamer1.0-plugins-bad fluid-soundfont-gm gstreamer1.0-tools libasound2-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-dev
  xvfb xauth openbox libx11-dev libxtst-dev fonts-dejavu-core fonts-liberation2
  nginx-light curl openssl
)

z5_install_deps() {
  local missing=()
  local p
  for p in "${z5_packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

z5_build() {
  local root="$1"
  cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$root/build"
}
