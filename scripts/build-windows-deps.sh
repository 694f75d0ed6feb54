#!/usr/bin/env bash
# Builds the third-party libraries of the Windows cross build into one prefix:
# expat, libpng, libjpeg-turbo, libzip and PCRE2 from Debian's own source
# packages (the versions, and Debian's patches, that the Linux build links),
# and GoogleTest from /usr/src/googletest; zlib is Debian's MinGW package.
# Each is a static library, built with cmake/mingw-w64.cmake. Also glibc's
# double-precision math functions, from the glibc source package of the
# installed libc6, as libquillmere-glibc-math.a (scripts/windows-libm/), so
# that the Windows programs compute the values Linux computes.
#
# Installs the compilers, Wine and the deb-src entry it needs when they are
# missing (as root; otherwise it prints what to run and fails). A finished
# prefix holds a stamp naming the versions; with it the script returns at
# once. Remove the prefix to build it again.
#
# Usage: build-windows-deps.sh PREFIX [CACHE]
#   CACHE holds the downloaded sources and the libraries' build folders
#   (default: deps-cache beside PREFIX).
set -euo pipefail
shopt -s inherit_errexit

if [[ $# -lt 1 ]]; then
    echo "usage: $0 PREFIX [CACHE]" >&2
    exit 2
fi
prefix=$(realpath -m "$1")
cache=$(realpath -m "${2:-$(dirname "$prefix")/deps-cache}")
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
toolchain=$repo/cmake/mingw-w64.cmake
stamp=$prefix/quillmere-deps.stamp
jobs=${JOBS:-2}

# Raise when the way the libraries are built changes, so old prefixes are rebuilt.
recipe=4
source_packages=(expat libpng1.6 libjpeg-turbo libzip pcre2)

"$repo/scripts/ensure-packages.sh" \
    g++-mingw-w64-x86-64-posix mingw-w64-tools libz-mingw-w64-dev wine64 wine \
    cmake ninja-build dpkg-dev googletest nlohmann-json3-dev juce-modules-source

if [[ -f $stamp ]] && grep -qx "recipe $recipe" "$stamp"; then
    exit 0
fi

# apt-get source needs a deb-src entry: Debian 12's own suite, at the URI of
# the deb entry in debian.sources (the security archive serves no sources here).
have_deb_src() {
    grep -Eqs '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources
}
if ! have_deb_src; then
    uri=$(awk '/^URIs:/ { print $2; exit }' /etc/apt/sources.list.d/debian.sources 2>/dev/null || true)
    uri=${uri:-http://deb.debian.org/debian}
    entry="Types: deb-src
URIs: $uri
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg"
    if [[ $(id -u) -ne 0 ]]; then
        echo "apt has no deb-src entry. As root, write this to /etc/apt/sources.list.d/debian-src.sources and run apt-get update:" >&2
        echo "$entry" >&2
        exit 1
    fi
    echo "Adding /etc/apt/sources.list.d/debian-src.sources ..."
    echo "$entry" > /etc/apt/sources.list.d/debian-src.sources
    apt-get update -qq
fi

mkdir -p "$cache/downloads" "$cache/src" "$cache/build" "$prefix"
rm -f "$stamp"

# The newest source version apt offers for a package, e.g. 2.5.0-1+deb12u5.
source_version() {
    local version
    version=$(apt-cache showsrc "$1" 2>/dev/null | awk '/^Version:/ { print $2 }' | sort -V | tail -n 1)
    if [[ -z $version ]]; then
        apt-get update -qq
        version=$(apt-cache showsrc "$1" | awk '/^Version:/ { print $2 }' | sort -V | tail -n 1)
    fi
    [[ -n $version ]] || { echo "no source package $1 known to apt" >&2; exit 1; }
    echo "$version"
}

# Downloads (once) and unpacks a source package with Debian's patches applied;
# prints the unpacked folder.
unpack_source() {
    local package=$1 version=$2 dsc folder
    dsc=$cache/downloads/${package}_${version#*:}.dsc
    if [[ ! -f $dsc ]]; then
        (cd "$cache/downloads" && apt-get source --download-only -qq "$package=$version") >&2
    fi
    folder=$cache/src/$package-${version#*:}
    if [[ ! -d $folder ]]; then
        rm -rf "$folder.tmp"
        dpkg-source --no-copy -x "$dsc" "$folder.tmp" >&2
        mv "$folder.tmp" "$folder"
    fi
    echo "$folder"
}

# cmake_build NAME SOURCE_DIR OPTION...: configures, builds and installs into the prefix.
cmake_build() {
    local name=$1 source=$2
    shift 2
    echo "Building $name for Windows ..."
    rm -rf "$cache/build/$name"
    cmake -S "$source" -B "$cache/build/$name" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DQUILLMERE_WINDOWS_PREFIX="$prefix" \
        -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DCMAKE_BUILD_TYPE=Release \
        "$@" > "$cache/build/$name.log" 2>&1 ||
        { tail -n 40 "$cache/build/$name.log" >&2; exit 1; }
    { cmake --build "$cache/build/$name" -j"$jobs" && cmake --install "$cache/build/$name"; } \
        >> "$cache/build/$name.log" 2>&1 ||
        { tail -n 40 "$cache/build/$name.log" >&2; exit 1; }
}

mingw_zlib=(-DZLIB_INCLUDE_DIR=/usr/x86_64-w64-mingw32/include
            -DZLIB_LIBRARY=/usr/x86_64-w64-mingw32/lib/libz.a)

versions=()
for package in "${source_packages[@]}"; do
    version=$(source_version "$package")
    versions+=("$package $version")
    source=$(unpack_source "$package" "$version")
    case $package in
    expat)
        # The upstream tarball keeps the CMake project in expat/.
        [[ -f $source/CMakeLists.txt ]] || source=$source/expat
        # Debian's security patches test `#if XML_DTD == 1`, as the autotools
        # build defines it; the CMake template defines it empty.
        sed -i 's/^#cmakedefine XML_DTD$/#cmakedefine XML_DTD 1/' "$source/expat_config.h.cmake"
        cmake_build expat "$source" -DEXPAT_SHARED_LIBS=OFF -DEXPAT_BUILD_TOOLS=OFF \
            -DEXPAT_BUILD_EXAMPLES=OFF -DEXPAT_BUILD_TESTS=OFF -DEXPAT_BUILD_DOCS=OFF
        ;;
    libpng1.6)
        cmake_build libpng "$source" -DPNG_SHARED=OFF -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
            "${mingw_zlib[@]}"
        ;;
    libjpeg-turbo)
        cmake_build libjpeg-turbo "$source" -DENABLE_SHARED=OFF -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF
        # jconfig.h leaves out its boolean typedef when <rpcndr.h> (read by
        # <windows.h>) came first, which JUCE's `using jpeglibNamespace::boolean`
        # needs; and JUCE compiles with JPEG_INTERNALS, which reads jpegint.h.
        sed -i '/^#ifndef __RPCNDR_H__/,/^#endif/{/^#ifndef __RPCNDR_H__/d;/^#endif/d}' "$prefix/include/jconfig.h"
        grep -q '^typedef unsigned char boolean;' "$prefix/include/jconfig.h" ||
            { echo "jconfig.h: the boolean typedef was not made unconditional" >&2; exit 1; }
        cp "$source/jpegint.h" "$prefix/include/"
        ;;
    libzip)
        cmake_build libzip "$source" -DBUILD_SHARED_LIBS=OFF -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF \
            -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF \
            -DENABLE_ZSTD=OFF -DENABLE_GNUTLS=OFF -DENABLE_OPENSSL=OFF -DENABLE_MBEDTLS=OFF \
            "${mingw_zlib[@]}"
        ;;
    pcre2)
        cmake_build pcre2 "$source" -DBUILD_SHARED_LIBS=OFF -DPCRE2_BUILD_PCRE2GREP=OFF \
            -DPCRE2_BUILD_TESTS=OFF -DPCRE2_SUPPORT_JIT=ON
        ;;
    esac
done

# glibc's math, at the version of the C library the Linux build runs on.
glibc_version=$(dpkg-query -W -f='${Version}' libc6)
versions+=("glibc $glibc_version")
source=$(unpack_source glibc "$glibc_version")
cmake_build glibc-math "$repo/scripts/windows-libm" -DGLIBC_SOURCE_DIR="$source"

gtest_version=$(dpkg-query -W -f='${Version}' googletest)
versions+=("googletest $gtest_version")
cmake_build googletest /usr/src/googletest -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON

{
    echo "recipe $recipe"
    printf '%s\n' "${versions[@]}"
} > "$stamp"
echo "Windows libraries ready in $prefix:"
sed 1d "$stamp" | sed 's/^/    /'
