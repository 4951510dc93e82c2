#!/usr/bin/env bash
# Corvane's everyday commands on a Debian machine:
#   ./run.sh          install what is missing, build, and start the program
#   ./run.sh test     install what is missing, build, and run the whole test suite
#   ./run.sh package  install what is missing (and the packaging tools), build, and make the
#                     Debian package build/corvane_<version>_<arch>.deb
# Build folder: build/ (override with BUILD_DIR). Extra CMake options: CMAKE_ARGS.
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(g++ cmake ninja-build ccache qt6-base-dev qt6-serialport-dev qt6-charts-dev
          qt6-tools-dev qt6-tools-dev-tools libgl-dev xvfb xauth libhamlib-utils socat
          qt6-svg-dev poppler-utils bash-completion)
# Only for `./run.sh package`: man pages, shared-library dependencies, and the checks of the
# package (lintian, the desktop entry and AppStream validators, man).
PACKAGING_TOOLS=(help2man dpkg-dev fakeroot lintian desktop-file-utils appstream man-db)

install_packages() {
  local missing=()
  for p in "${PACKAGES[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing: ${missing[*]}"
  # While another install (a software centre, unattended upgrades) holds the package
  # manager's locks, wait for them, up to 5 minutes each, rather than fail at once. apt-get
  # waits for dpkg's lock itself; the lock of the package lists it only reports, so the
  # update is tried again while that is held.
  local deadline=$((SECONDS + 300)) said="" out
  until out=$($sudo env LC_ALL=C apt-get update -qq 2>&1); do
    if [[ $out != *"Could not get lock"* ]] || ((SECONDS >= deadline)); then
      echo "$out" >&2
      return 1
    fi
    [ -n "$said" ] || echo "Waiting for another install to finish (up to 5 minutes)..."
    said=1
    sleep 5
  done
  [ -z "$out" ] || echo "$out" >&2
  DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=300 install -y -qq \
    "${missing[@]}" >/dev/null
}

BUILD_DIR=${BUILD_DIR:-build}
build() {
  local launcher=""
  command -v ccache >/dev/null && launcher="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} $launcher ${CMAKE_ARGS:-} >/dev/null
  cmake --build "$BUILD_DIR" -j2
}

case "${1:-run}" in
  run)
    install_packages
    build
    exec "$BUILD_DIR/bin/corvane"
    ;;
  test)
    install_packages
    build
    ctest --test-dir "$BUILD_DIR" --output-on-failure -j2
    ;;
  package)
    install_packages "${PACKAGING_TOOLS[@]}"
    build
    (cd "$BUILD_DIR" && cpack -G DEB)
    ;;
  *)
    echo "usage: ./run.sh [run|test|package]" >&2
    exit 2
    ;;
esac
