#!/usr/bin/env bash
# Installs what the build and the tests need (Debian 12), then configures and builds.
# Usage: tools/bootstrap.sh [BUILD_DIR [CMAKE_OPTION...]]   (default: build, optimised)
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$here/build"}
shift || true

packages=(g++ cmake ninja-build pkg-config qt6-base-dev libjpeg62-turbo-dev libgtest-dev
          fonts-liberation zip unzip arj poppler-utils xdg-utils shared-mime-info
          libfile-mimeinfo-perl desktop-file-utils dpkg-dev)

"$here/tools/install_packages.sh" "${packages[@]}"

cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build "$build"
