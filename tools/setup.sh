#!/usr/bin/env bash
# Shared set-up for run.sh and test.sh: installs the Debian packages the build needs
# when they are missing, then configures a build directory.
#   tools/setup.sh deps            install missing packages (quiet when none are missing)
#   tools/setup.sh configure DIR [cmake options...]
set -euo pipefail

# Qt 6 (core and widgets) for the desktop shell; a plain font so that windows under a headless
# platform have one; Eigen for the tests of the principal components; clang (with libFuzzer) for
# the fuzz step; desktop-file-utils to check the desktop entries the install puts in place; Xvfb
# for the tests that look at windows drawn by a real X server; a CJK font for the window's test of
# wide characters.
packages=(cmake ninja-build g++ libgtest-dev libgmock-dev libeigen3-dev qt6-base-dev qt6-charts-dev
          fonts-dejavu-core libreadstat-dev pspp clang desktop-file-utils xvfb fonts-wqy-microhei)

need_install() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  printf '%s\n' "${missing[@]}"
}

install_deps() {
  mapfile -t missing < <(need_install | sed '/^$/d')
  [ "${#missing[@]}" -eq 0 ] && return 0
  echo "Installing missing packages: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq >/dev/null
  $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
}

configure() {
  local dir="$1"; shift
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  fi
}

case "${1:-}" in
  deps) install_deps ;;
  configure) shift; configure "$@" ;;
  *) echo "usage: tools/setup.sh deps | configure DIR [options]" >&2; exit 2 ;;
esac
