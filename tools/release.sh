#!/usr/bin/env bash
# Builds a release: the x86 component (preset mingw32), the x64 component, the client and the
# installer (preset mingw64, which takes the x86 component from the mingw32 build), then copies
# the release folder to release/, adds the Windows Installer package and the Group Policy
# template, and packs it as Pendrake-<version>.zip beside that folder.
#   tools/release.sh
# PENDRAKE_JOBS=n sets the parallel build jobs (default 2); PENDRAKE_RELEASE_BUILD=<folder>
# builds in <folder>/mingw32 and <folder>/mingw64 instead of the presets' own build folders.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
jobs="${PENDRAKE_JOBS:-2}"
build="$(realpath -m "${PENDRAKE_RELEASE_BUILD:-$root/build}")"

bash tools/setup.sh

version="$(sed -nE 's/^project\(Pendrake VERSION ([0-9.]+).*/\1/p' CMakeLists.txt)"
[ -n "$version" ] || { echo "release: no project version in CMakeLists.txt" >&2; exit 1; }

cmake --preset mingw32 -B "$build/mingw32" >/dev/null
cmake --build "$build/mingw32" --parallel "$jobs"
cmake --preset mingw64 -B "$build/mingw64" -DPENDRAKE_X86_BUILD_DIR="$build/mingw32" >/dev/null
cmake --build "$build/mingw64" --parallel "$jobs" --target pendrake_installer

ship="$build/mingw64/ship"
release="$root/release"
archive="$root/Pendrake-$version.zip"
rm -rf "$release" "$archive"
cp -a "$ship" "$release"

# ---- Windows Installer package and Group Policy template, built into release/ ----------------
# Made from the files in release/ themselves, so this step comes after every step that changes
# them: the package carries copies. Replaces what the build folder's copy brought along.
rm -rf "$release"/Pendrake-*-x64.msi "$release/policies"
python3 installer/make_msi.py "$release" "$root" "$version" "$release/Pendrake-$version-x64.msi" "$build/msi"
python3 installer/make_policy.py "$root" "$release/policies" "$version"
# -----------------------------------------------------------------------------------------------

# The archive unpacks into one folder named after the version.
python3 - "$release" "$archive" "Pendrake-$version" <<'PY'
import os, sys, zipfile
folder, archive, top = sys.argv[1:4]
with zipfile.ZipFile(archive, "w", zipfile.ZIP_DEFLATED) as z:
    for d, dirs, files in os.walk(folder):
        dirs.sort()
        for f in sorted(files):
            path = os.path.join(d, f)
            z.write(path, os.path.join(top, os.path.relpath(path, folder)))
PY

echo "release $version:"
(cd "$release" && find . -type f | sort | while read -r f; do printf '  %-40s %9d bytes\n' "${f#./}" "$(stat -c %s "$f")"; done)
echo "archive: $archive ($(stat -c %s "$archive") bytes)"
