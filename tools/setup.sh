#!/usr/bin/env bash
# Installs every Debian package the build and the tests need. Does nothing when all are present.
set -euo pipefail

packages=(
  cmake ninja-build g++ libgtest-dev libgmock-dev googletest
  g++-mingw-w64-x86-64-posix mingw-w64-tools libwine-dev
  wine64 xvfb fonts-liberation fonts-wine fonts-dejavu-core
  rsyslog imagemagick nsis python3 xdotool osslsigncode openssl
  g++-mingw-w64-i686-posix wine32:i386
)
# The fuzz preset: clang with its libFuzzer and sanitizer runtimes.
packages+=(clang-14 libclang-rt-14-dev)

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

# The x86 component runs under Wine's 32-bit half: Debian serves it as a foreign architecture.
i386_added=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo_cmd[@]}" dpkg --add-architecture i386
  i386_added=1
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ] && [ "$i386_added" -eq 0 ]; then
  exit 0
fi

echo "setup: installing ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
