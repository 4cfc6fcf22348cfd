#!/usr/bin/env bash
# Builds the program, runs it once against the emulated switch driver with the
# sample configuration and a virtual uap0, shows its trace, then the register
# image it left behind. Nothing on the host changes: the interface and
# /mnt/mtd/config/config.qorv exist only in a private namespace.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/packages.sh

uws_require_packages "${UWS_BUILD_PACKAGES[@]}" "${UWS_E2E_PACKAGES[@]}"

cmake --preset default >/dev/null
cmake --build --preset default --target update_wlan_status sdsw_emulator >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "Configuration (scripts/sample/config.qorv):"
sed 's/^/  /' scripts/sample/config.qorv
echo "Running update_wlan_status (it waits five seconds before closing the slot)..."
echo
build/default/tests/sdsw_emulator --workdir "$work" --config scripts/sample/config.qorv \
    --mac 02:5a:7e:00:c0:de --allow-host --report -- build/default/app/update_wlan_status \
    > "$work/report"
echo "Trace (standard output, exit status $(cat "$work/exit")):"
cat "$work/stdout"
if [ -s "$work/stderr" ]; then
    echo "Standard error:"
    cat "$work/stderr"
fi
echo
cat "$work/report"
