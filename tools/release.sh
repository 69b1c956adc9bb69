#!/usr/bin/env bash
# Builds a release: the x86 component (preset mingw32), the x64 component, the client and the
# installer, the Windows Installer package and the Group Policy template (preset mingw64, which
# takes the x86 component from the mingw32 build), then copies the release folder to release/,
# packs it as Pendrake-<version>.zip beside that folder and writes release/SHA256SUMS
# over both.
#   tools/release.sh
# PENDRAKE_JOBS=n sets the parallel build jobs (default 2); PENDRAKE_RELEASE_BUILD=<folder>
# builds in <folder>/mingw32 and <folder>/mingw64 instead of the presets' own build folders.
#
# Reproducible: every time stamp in the files is the last commit's time (SOURCE_DATE_EPOCH, when
# given, instead), so that two runs of one commit, in any folders, give the same bytes.
# Signed when the environment names a key (tools/sign.sh says how); it says in one line whether.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
jobs="${PENDRAKE_JOBS:-2}"
build="$(realpath -m "${PENDRAKE_RELEASE_BUILD:-$root/build}")"

bash tools/setup.sh

version="$(sed -nE 's/^project\(Pendrake VERSION ([0-9.]+).*/\1/p' CMakeLists.txt)"
[ -n "$version" ] || { echo "release: no project version in CMakeLists.txt" >&2; exit 1; }
release="$root/release"
archive="$root/Pendrake-$version.zip"

# The moment every time stamp of the release holds.
release_epoch() {
  if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH="$(git -C "$root" log -1 --format=%ct 2>/dev/null)" ||
      { echo "release: not a git checkout; set SOURCE_DATE_EPOCH to the release's time" >&2; exit 1; }
  fi
  export SOURCE_DATE_EPOCH
}

# Fails before building when a key is named only in part; the one line on signing.
signing_status() {
  local status
  status="$(bash tools/sign.sh --status)" || exit 1
  echo "release: $status"
}

build_binaries() {
  cmake --preset mingw32 -B "$build/mingw32" -DPENDRAKE_SOURCE_DATE_EPOCH="$SOURCE_DATE_EPOCH" >/dev/null
  cmake --build "$build/mingw32" --parallel "$jobs"
  cmake --preset mingw64 -B "$build/mingw64" -DPENDRAKE_X86_BUILD_DIR="$build/mingw32" \
        -DPENDRAKE_SOURCE_DATE_EPOCH="$SOURCE_DATE_EPOCH" >/dev/null
  cmake --build "$build/mingw64" --parallel "$jobs" --target pendrake_installer pendrake_msi pendrake_policies
}

# The build's release folder holds the binaries signed already (signed on their way in, after
# stripping) and the signed setup program; the copy keeps them as they are.
copy_release_folder() {
  rm -rf "$release" "$archive"
  cp -a "$build/mingw64/ship" "$release"
}

# sign_windows_installer_package FILE: signs a Windows Installer package made after the build
# (the last file to sign: it holds the signed binaries); nothing when FILE is not there.
sign_windows_installer_package() {
  [ -f "$1" ] || return 0
  bash tools/sign.sh "$1"
}

# The archive unpacks into one folder named after the version; SHA256SUMS lists it and every
# file of the release folder.
pack_and_sum() {
  python3 tools/pack_release.py "$release" "$archive" "Pendrake-$version"
}

report() {
  echo "release $version:"
  (cd "$release" && find . -type f | LC_ALL=C sort | while read -r f; do
     printf '  %-40s %9d bytes\n' "${f#./}" "$(stat -c %s "$f")"; done)
  echo "archive: $archive ($(stat -c %s "$archive") bytes)"
}

release_epoch
signing_status
build_binaries
copy_release_folder
sign_windows_installer_package "$release/Pendrake-$version-x64.msi"
pack_and_sum
report
