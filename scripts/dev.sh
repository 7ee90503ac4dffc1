#!/usr/bin/env bash
# Installs what is missing (Debian 12, as root), builds, then either starts Quillbox Plus
# ("run"), runs the whole test suite ("test"), makes the Debian package ("package":
# build-package/quillbox_<version>_<arch>.deb), or makes it, installs it with apt and starts the
# installed program ("package-check").
set -euo pipefail

mode=${1:-run}
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"

packages=(
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
  qt6-base-dev qt6-base-dev-tools qt6-base-private-dev qt6-multimedia-dev qt6-image-formats-plugins libqt6svg6
  libgl-dev libxkbcommon-dev libx11-dev libxtst-dev libxres-dev
  xvfb xauth x11-utils xdotool xclip trayer openbox imagemagick desktop-file-utils appstream
  cups cups-client cups-bsd printer-driver-cups-pdf poppler-utils
  fonts-dejavu-core xdg-utils libglib2.0-bin libreoffice-writer-nogui
  libhunspell-dev hunspell-en-us libxcb1-dev libxcb-keysyms1-dev
  dbus dbus-x11 at-spi2-core python3-pyatspi python3-dbus syncthing curl
  dpkg-dev lintian libglib2.0-bin
  libgpgmepp-dev libgpgme-dev gpg gpg-agent qtkeychain-qt6-dev gnome-keyring libsecret-tools
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

case "$mode" in
  run)
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQB_BUILD_TESTS=OFF
    cmake --build build --target quillbox
    exec ./build/src/app/quillbox
    ;;
  test)
    # Tests build with warnings as errors and under AddressSanitizer and UBSan.
    cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQB_WERROR=ON -DQB_SANITIZE=ON "${launcher[@]}"
    cmake --build build-test
    cd build-test
    ctest --output-on-failure --timeout 600 -j2
    ;;
  package | package-check)
    # A Release build of the program alone for /usr, with Debian's hardening flags (debugging
    # information left out: the package's binary is stripped).
    export DEB_CXXFLAGS_MAINT_STRIP=-g
    rm -f build-package/quillbox_*.deb
    cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
      -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
      -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
      -DQB_WERROR=ON -DQB_BUILD_TESTS=OFF -DQB_BUILD_BENCH=OFF "${launcher[@]}"
    cmake --build build-package --target package
    [ "$mode" = package ] || exec tests/package/install_check.sh build-package/quillbox_*.deb build-package/artifacts
    ;;
  *)
    echo "usage: $0 run|test|package|package-check" >&2
    exit 2
    ;;
esac
