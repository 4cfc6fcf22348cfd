#!/usr/bin/env bash
# Footprint checks of the dynamically linked program:
#   check_footprint.sh needed BINARY   links nothing but the C library
#   check_footprint.sh imports BINARY  imports no allocation or exception machinery
#   check_footprint.sh size BINARY MAX stripped, it is at most MAX bytes
#   check_footprint.sh static BINARY   needs no loader and no shared library
set -euo pipefail
mode=$1
binary=$2

case "$mode" in
needed)
    needed=$(readelf -d "$binary" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
    echo "NEEDED: $needed"
    [ "$needed" = "libc.so.6" ] || { echo "expected only libc.so.6"; exit 1; }
    ;;
imports)
    # The weak __cxa_finalize reference comes with every C program's
    # start-up code (crtbegin), not from C++ exception handling.
    imports=$(nm -D --undefined-only "$binary" | awk '{print $NF}' | sed 's/@.*//')
    forbidden=$(echo "$imports" | grep -E '^(malloc|calloc|realloc|free|_Znw.*|_Zna.*|_Zdl.*|_Zda.*|__cxa_.*|_Unwind_.*)$' |
        grep -vx '__cxa_finalize' || true)
    echo "undefined dynamic symbols:" $imports
    [ -z "$forbidden" ] || { echo "forbidden imports: $forbidden"; exit 1; }
    ;;
size)
    max=$3
    stripped=$(mktemp)
    trap 'rm -f "$stripped"' EXIT
    strip -o "$stripped" "$binary"
    size=$(stat -c %s "$stripped")
    echo "stripped size: $size bytes (at most $max)"
    [ "$size" -le "$max" ]
    ;;
static)
    if readelf -l "$binary" | grep -q INTERP || readelf -d "$binary" | grep -q NEEDED; then
        echo "not statically linked:"
        readelf -d "$binary" | grep NEEDED || true
        exit 1
    fi
    echo "statically linked"
    ;;
*)
    echo "unknown mode $mode" >&2
    exit 2
    ;;
esac
