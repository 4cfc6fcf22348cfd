#!/usr/bin/env bash
# Builds the program and runs every test suite: natively (unit, end-to-end,
# footprint, install and lint tests), again under AddressSanitizer and
# UndefinedBehaviorSanitizer, the fuzz targets for a bounded time, then the
# unit tests of every target build under qemu-user.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/packages.sh

uws_require_packages "${UWS_BUILD_PACKAGES[@]}" "${UWS_E2E_PACKAGES[@]}" \
    "${UWS_TARGET_PACKAGES[@]}" "${UWS_FUZZ_PACKAGES[@]}"

log=$(mktemp)
trap 'rm -f "$log"' EXIT
for preset in default sanitize fuzz "${UWS_TARGET_PRESETS[@]}"; do
    echo "=== preset $preset"
    cmake --workflow --preset "$preset" 2>&1 | tee -a "$log"
done
# One closing line over every preset's ctest summary.
awk '/tests passed, [0-9]+ tests failed out of/ {total += $NF; failed += $(NF-5)}
     END {printf "%d passed, %d failed\n", total - failed, failed}' "$log"
