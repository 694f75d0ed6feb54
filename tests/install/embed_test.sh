#!/usr/bin/env bash
# Installs the formula engine's libraries into a temporary prefix, as a user
# would, and builds examples/embed against that copy alone: with CMake
# (shared and static library) and with pkg-config. Each build must run and
# compute the example's formula with its own function.
# Usage: embed_test.sh BUILD_DIR SOURCE_DIR WORK_DIR VERSION [FLAGS]
# FLAGS go to every compile and link: a sanitizer build's libraries need them.
set -euo pipefail
build=$1 source=$2 work=$3 version=$4 flags=${5:-}
read -r -a extra <<<"$flags"

rm -rf "$work"
mkdir -p "$work"
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" --component engine >/dev/null

fail() { echo "FAIL: $*" >&2; exit 1; }

# Every installed header compiles on its own, with only the installed tree on
# the include path: their own #include lines resolve there.
pc_dir=$(dirname "$(find "$prefix" -name quillmere-expr.pc)")
export PKG_CONFIG_PATH=$pc_dir
[[ "$(pkg-config --modversion quillmere-expr)" == "$version" ]] || fail "pkg-config version is not $version"
read -r -a cflags <<<"$(pkg-config --cflags quillmere-shaping)"
for header in "$prefix"/include/quillmere/*/*.h; do
    echo "#include <${header#"$prefix"/include/}>" |
        c++ -std=c++17 -fsyntax-only -x c++ "${cflags[@]}" "${extra[@]}" - || fail "$header does not compile alone"
done

# Runs a built example and checks what it computes, with and without a formula.
check_runs() {
    local binary=$1
    [[ "$("$binary")" == "10" ]] || fail "$binary did not print 10"
    [[ "$("$binary" 'twice(twice(1.5)) - abs(-1)')" == "5" ]] || fail "$binary computed a wrong value"
    if "$binary" 'twice(1, 2)' 2>"$work/error.txt"; then fail "$binary accepted twice(1, 2)"; fi
    grep -q 'wrong number of arguments for "twice"' "$work/error.txt" || fail "$binary gave no error text"
}

# CMake, shared and static.
for kind in shared static; do
    static=OFF
    [[ $kind == static ]] && static=ON
    cmake -S "$source/examples/embed" -B "$work/cmake-$kind" -G Ninja \
        -DCMAKE_PREFIX_PATH="$prefix" -DEMBED_STATIC=$static -DCMAKE_CXX_FLAGS="$flags" >/dev/null
    cmake --build "$work/cmake-$kind" >/dev/null
    check_runs "$work/cmake-$kind/embed"
done
# (ldd's whole output first: grep -q stops reading early, which pipefail would count.)
shared_libraries=$(ldd "$work/cmake-shared/embed")
[[ "$shared_libraries" == *"libquillmere-expr.so.3 => $prefix/"* ]] ||
    fail "the CMake build does not use the installed shared library"
static_libraries=$(ldd "$work/cmake-static/embed")
[[ "$static_libraries" != *libquillmere-expr* ]] || fail "the static build still needs the shared library"

# pkg-config, shared.
read -r -a pkg_flags <<<"$(pkg-config --cflags --libs quillmere-expr)"
c++ -std=c++17 "${extra[@]}" "$source/examples/embed/main.cpp" "${pkg_flags[@]}" -o "$work/embed-pkg-config"
LD_LIBRARY_PATH=$(pkg-config --variable=libdir quillmere-expr) check_runs "$work/embed-pkg-config"

echo "embed example built and ran: CMake shared, CMake static, pkg-config"
