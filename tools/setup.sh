#!/usr/bin/env bash
# Installs every Debian package the build and the tests need. Does nothing when all are present.
set -euo pipefail

packages=(
  cmake ninja-build g++ libgtest-dev libgmock-dev googletest
  g++-mingw-w64-x86-64-posix mingw-w64-tools libwine-dev
  wine64 xvfb fonts-liberation fonts-wine fonts-dejavu-core
  rsyslog imagemagick nsis python3 xdotool osslsigncode openssl
  wixl msitools
  g++-mingw-w64-i686-posix wine32:i386
)
# The fuzz preset: clang with its libFuzzer and sanitizer runtimes.
packages+=(clang-14 libclang-rt-14-dev)
# The PowerShell grammar check runs on node; npm comes with some node packages, not with Debian's.
packages+=(nodejs)
command -v npm >/dev/null || packages+=(npm)

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

if [ ${#missing[@]} -gt 0 ] || [ "$i386_added" -ne 0 ]; then
  echo "setup: installing ${missing[*]}" >&2
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
fi

# The PowerShell grammar that checks the generated PowerShell scripts, from npm into
# tools/grammar. Its WebAssembly build runs on node alone, so no native module is built (and the
# native parser the grammar names as a peer is not fetched). Without it that one check is skipped
# and says why; nothing else depends on it.
grammar="$(cd "$(dirname "$0")" && pwd)/grammar"
if ! cmp -s "$grammar/package.json" "$grammar/node_modules/.installed-from.json"; then
  if (cd "$grammar" && npm install --no-package-lock --ignore-scripts --legacy-peer-deps --no-audit --no-fund >&2); then
    cp "$grammar/package.json" "$grammar/node_modules/.installed-from.json"
  else
    echo "setup: npm install in $grammar failed; the PowerShell grammar check will be skipped" >&2
  fi
fi
