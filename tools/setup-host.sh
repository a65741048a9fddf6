# Installs what the build and the tests need on a Debian 12 machine, as
# root, and nothing when all of it is there. Sourced by run.sh and test.sh.

required_packages=(
    cmake make g++ file
    g++-mingw-w64-i686 binutils-mingw-w64-i686
    g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
    googletest
    # the native build of the pure code: sanitizers and libFuzzer
    clang libclang-rt-14-dev
    wine wine32:i386 wine64 fonts-wine
    xvfb xauth x11-utils
    mscompress liblnk-utils
    # the package manifest's check against its schemas
    python3-jsonschema python3-yaml
    # Authenticode signing, and the throwaway key of the signed build's tests
    osslsigncode openssl
)

missing_packages() {
    local package
    for package in "${required_packages[@]}"; do
        dpkg-query -W -f='${Status}\n' "$package" 2>/dev/null | grep -q '^install ok installed$' ||
            printf '%s\n' "$package"
    done
}

setup_host() {
    local missing
    missing=$(missing_packages)
    [ -z "$missing" ] && return 0
    if [ "$(id -u)" != 0 ]; then
        echo "These packages are missing; run as root to install them:" $missing >&2
        return 1
    fi
    echo "Installing:" $missing
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
    apt-get update -qq || return 1
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing >/dev/null || return 1
}

# Some hosts run 64-bit code only (no IA-32 emulation in the kernel): there
# wine32 cannot start any program, and the tests run the 64-bit build of the
# same sources under wine64 instead.
host_runs_32bit() {
    /usr/lib/wine/wine --version >/dev/null 2>&1
}

# Builds the installer (build/pictavo-setup.exe, 32-bit) and the build that
# the tests and run.sh use; sets test_build to its folder.
build_all() {
    local root=$1 jobs
    jobs=$(nproc)
    if host_runs_32bit; then
        test_build=$root/build
        cmake -S "$root" -B "$root/build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
            -DBUILD_TESTING=ON -DPICTAVO_HOST_RUNS_32BIT=ON >/dev/null || return 1
        cmake --build "$root/build" -j "$jobs" || return 1
    else
        echo "This host cannot run 32-bit x86 code; testing the 64-bit build of the same sources."
        test_build=$root/build/x86_64
        cmake -S "$root" -B "$root/build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
            -DBUILD_TESTING=OFF >/dev/null || return 1
        cmake --build "$root/build" -j "$jobs" || return 1
        cmake -S "$root" -B "$test_build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" \
            -DBUILD_TESTING=ON -DPICTAVO_HOST_RUNS_32BIT=OFF \
            -DPICTAVO_PRODUCT_EXE="$root/build/pictavo-setup.exe" >/dev/null || return 1
        cmake --build "$test_build" -j "$jobs" || return 1
    fi
}
