#!/usr/bin/env bash
# Prints the program's footprint as a Markdown table: for the native and
# armhf builds, dynamic and static, the stripped size and the NEEDED
# libraries; for the native dynamic build, the peak RSS, heap allocations,
# system calls and instructions of one full run against the emulated driver.
# Not a test: it measures, and each run includes the five-second wait.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/packages.sh

uws_require_packages "${UWS_BUILD_PACKAGES[@]}" "${UWS_E2E_PACKAGES[@]}" \
    "${UWS_TARGET_PACKAGES[@]}" valgrind strace time

build() {
    cmake --preset "$1" >/dev/null
    cmake --build --preset "$1" --target "${@:2}" >/dev/null
}
build default sdsw_emulator
for preset in release release-static armhf armhf-static; do
    build "$preset" update_wlan_status
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
emulator=build/default/tests/sdsw_emulator

# Runs a command against the emulated driver with the sample configuration
# and a virtual uap0; its stderr is left in $work/run/stderr.
emulated() {
    rm -rf "$work/run"
    mkdir "$work/run"
    "$emulator" --workdir "$work/run" --config scripts/sample/config.qorv \
        --mac 02:5a:7e:00:c0:de -- "$@"
}

# Prints the run columns of one program: peak RSS, heap, syscalls, instructions.
run_columns() {
    local program=$1
    emulated /usr/bin/time -v "$program"
    local rss
    rss=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$work/run/stderr")
    emulated "$(command -v valgrind)" "$program"
    local heap
    heap=$(sed -n 's/.*total heap usage: \([0-9,]*\) allocs, [0-9,]* frees, \([0-9,]*\) bytes.*/\1 (\2 bytes)/p' \
        "$work/run/stderr")
    emulated "$(command -v strace)" -f -c -o "$work/strace" "$program"
    local calls
    calls=$(awk '$NF == "total" {print $(NF-2)}' "$work/strace")
    emulated "$(command -v valgrind)" --tool=callgrind --callgrind-out-file="$work/callgrind" "$program"
    local instructions
    instructions=$(sed -n 's/.*Collected : //p' "$work/run/stderr")
    echo "$rss KiB | $heap | $calls | $instructions"
}

row() {
    local name=$1 binary=$2 strip=$3 runs=$4
    "$strip" -o "$work/stripped" "$binary"
    local size needed
    size=$(stat -c %s "$work/stripped")
    needed=$(readelf -d "$binary" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' | paste -sd, -)
    echo "| $name | $size | ${needed:-none} | $runs |"
}

echo "| build | stripped bytes | NEEDED | peak RSS | heap allocations | system calls | instructions |"
echo "|---|---|---|---|---|---|---|"
row "x86_64, dynamic" build/release/app/update_wlan_status strip \
    "$(run_columns build/release/app/update_wlan_status)"
row "x86_64, static" build/release-static/app/update_wlan_status strip \
    "n/a¹ | n/a¹ | n/a¹ | n/a¹"
row "armhf, dynamic" build/armhf/app/update_wlan_status arm-linux-gnueabihf-strip "n/a² | | |"
row "armhf, static" build/armhf-static/app/update_wlan_status arm-linux-gnueabihf-strip "n/a² | | |"
echo "| umockdev preload alone (/bin/true) | | | $(run_columns /bin/true) |"
echo
echo "¹ A static binary ignores LD_PRELOAD, so the emulated driver cannot reach it."
echo "² Not run: qemu-user does not pass the driver's request code on."
echo "Run figures are of one run under umockdev's preload library, which serves the"
echo "driver from inside the process; the last row shows that library's own share."
