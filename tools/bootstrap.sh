#!/usr/bin/env bash
# Installs what the build and the tests need (Debian 12), then configures and builds.
# Usage: tools/bootstrap.sh [BUILD_DIR [CMAKE_OPTION...]]   (default: build, optimised)
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$here/build"}
shift || true

mapfile -t packages < <(grep -v '^#' "$here/tools/packages.txt" | tr -s ' ' '\n' | grep .)

"$here/tools/install_packages.sh" "${packages[@]}"

cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build "$build"
