#!/usr/bin/env bash
# Sets everything up and runs Pelmora. Until the main window exists this catalogs a folder
# as a disk with pelmora-cli: tools/run.sh [FOLDER] [scan options]  (default folder: $HOME)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/tools/bootstrap.sh" "$here/build" >&2
folder=${1:-$HOME}
shift || true
exec "$here/build/tools/pelmora-cli" scan "$folder" "$@"
