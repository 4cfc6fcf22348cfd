# Sourced by the scripts: makes sure Debian packages are installed.
# As root, missing packages are installed with apt-get; otherwise the script
# stops and names the command that installs them.

uws_require_packages() {
    local missing=()
    local package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$package")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "missing packages: ${missing[*]}" >&2
        echo "install them with: sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
        exit 1
    fi
    echo "installing: ${missing[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
}

# What the native build and its tests need.
UWS_BUILD_PACKAGES=(cmake make g++ libgtest-dev binutils clang-tidy clang-format cppcheck)

# What the emulated driver and the end-to-end runs need.
UWS_E2E_PACKAGES=(umockdev libumockdev-dev pkg-config iproute2 valgrind)

# What the target builds need: cross compilers, GoogleTest's sources and
# qemu-user to run the target tests.
UWS_TARGET_PACKAGES=(googletest qemu-user g++-arm-linux-gnueabihf g++-aarch64-linux-gnu
    g++-powerpc-linux-gnu)

# The target presets, each built and tested by scripts/test.sh.
UWS_TARGET_PRESETS=(armhf armhf-static aarch64 aarch64-static powerpc powerpc-static)

# What the fuzz targets need: clang with its libFuzzer and sanitizer runtimes.
UWS_FUZZ_PACKAGES=(clang-14 libclang-rt-14-dev)
