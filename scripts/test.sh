#!/usr/bin/env bash
# Builds the program and runs every test suite: natively (unit, end-to-end,
# footprint and install tests), then the unit tests of every target build
# under qemu-user.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/packages.sh

uws_require_packages "${UWS_BUILD_PACKAGES[@]}" "${UWS_E2E_PACKAGES[@]}" \
    "${UWS_TARGET_PACKAGES[@]}"

cmake --workflow --preset default
for preset in "${UWS_TARGET_PRESETS[@]}"; do
    echo "=== target preset $preset"
    cmake --workflow --preset "$preset"
done
echo "all test suites passed"
