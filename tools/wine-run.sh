#!/usr/bin/env bash
# Runs one Windows program in the project's Wine prefix: wine-run.sh PROGRAM.exe [ARGS...]
# Its exit code is the program's.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
exec "$WINE64" "$@"
