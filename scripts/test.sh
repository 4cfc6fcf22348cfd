#!/usr/bin/env bash
# Builds the program and runs every test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/packages.sh

uws_require_packages "${UWS_BUILD_PACKAGES[@]}" "${UWS_E2E_PACKAGES[@]}"

cmake --workflow --preset default
