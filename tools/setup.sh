#!/usr/bin/env bash
# Installs every Debian package the build and the tests need. Does nothing when all are present.
set -euo pipefail

packages=(
  cmake ninja-build g++ libgtest-dev libgmock-dev googletest
  g++-mingw-w64-x86-64-posix mingw-w64-tools libwine-dev
  wine64 xvfb fonts-liberation fonts-wine fonts-dejavu-core
  rsyslog imagemagick nsis
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "setup: installing ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
