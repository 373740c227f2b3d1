#!/usr/bin/env bash
# Sets everything up and starts Pelmora's window: tools/run.sh [-label|-template|-printlabel PATH]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/tools/bootstrap.sh" "$here/build" >&2
exec "$here/build/shell/Pelmora" "$@"
