#!/usr/bin/env bash
# Installs the Debian packages Dervalo needs to build, test and run, when any
# of them is missing. Sourced by scripts/run and scripts/test.
set -euo pipefail

# The second line: the Debian package (cpack -G DEB with dpkg-shlibdeps) and
# the checks of the install smoke test.
# The third line: the rig through Hamlib's library (pkg-config finds it) and
# its daemon rigctld, which the rig tests run.
dervalo_packages=(build-essential cmake qt6-base-dev qt6-serialport-dev libgl-dev xvfb xauth
  dpkg-dev file desktop-file-utils appstream
  pkg-config libhamlib-dev libhamlib-utils)

dervalo_install_deps() {
  local missing=()
  for p in "${dervalo_packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
  fi
}
