#!/usr/bin/env bash
# Installs the Debian package that `make package` built, as a user would with
# apt-get, checks that the programs run from PATH and that the man pages, the
# desktop entry and the engine library are in place, then removes the package
# and checks that nothing it installed is left behind. Needs root.
# Usage: test-package.sh BUILD_DIR
set -euo pipefail
build=$1

fail() { echo "FAIL: $*" >&2; exit 1; }

[[ $(id -u) -eq 0 ]] || fail "installing a package needs root"
shopt -s nullglob
debs=("$build"/quillmere_*.deb)
[[ ${#debs[@]} -eq 1 ]] || fail "expected one quillmere_*.deb in $build, found ${#debs[@]}"
deb=$(realpath "${debs[0]}")
version=$(dpkg-deb --field "$deb" Version)

export DEBIAN_FRONTEND=noninteractive
# An earlier run that stopped half way may have left it installed.
dpkg-query -W quillmere >/dev/null 2>&1 && apt-get purge -y -qq quillmere >/dev/null
trap 'apt-get purge -y -qq quillmere >/dev/null 2>&1 || true' EXIT

echo "Depends: $(dpkg-deb --field "$deb" Depends)"
if ! apt-get install -y -qq --no-install-recommends "$deb" >/dev/null; then
    # A dependency that is not installed yet needs the package lists.
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "$deb" >/dev/null
fi
mapfile -t installed < <(dpkg -L quillmere)

# The programs, found on PATH, say who they are; the tools do their work.
cd /tmp
for program in Quillmere quillmere-batch qcalc; do
    path=$(command -v "$program") || fail "$program is not on PATH"
    [[ $path == /usr/bin/* ]] || fail "$program runs from $path, not from the package"
    [[ "$("$program" --version)" == "$program $version" ]] || fail "$program --version"
done
[[ "$(qcalc 'x = 2; x^3 + softClip(0)')" == "8" ]] || fail "qcalc computed a wrong value"
folder=$(mktemp -d)
printf '<preset gain="0.25"/>\n' >"$folder/a.xml"
quillmere-batch --convert gain 'y = x * 2;' "$folder" >/dev/null || fail "quillmere-batch failed"
grep -q 'gain="0.5"' "$folder/a.xml" || fail "quillmere-batch did not convert"
rm -rf "$folder"

# Man pages, desktop entry, icons and the engine for other programs.
for page in quillmere-batch.1 qcalc.1 quillmere-formula.7; do
    man -w "${page%.*}" >/dev/null 2>&1 || [[ -f /usr/share/man/man${page##*.}/$page ]] || fail "no man page $page"
done
desktop-file-validate /usr/share/applications/quillmere.desktop || fail "the desktop entry is not valid"
[[ -f /usr/share/icons/hicolor/scalable/apps/quillmere.svg ]] || fail "no SVG icon"
[[ -f /usr/share/icons/hicolor/256x256/apps/quillmere.png ]] || fail "no PNG icon"
grep -q 'libquillmere-expr.so.3 ' <<< "$(ldconfig -p)" || fail "the dynamic linker does not know libquillmere-expr.so.3"
[[ "$(pkg-config --modversion quillmere-expr)" == "$version" ]] || fail "pkg-config does not find quillmere-expr"

# Removed, it leaves none of its files behind, nor a record in dpkg.
apt-get purge -y -qq quillmere >/dev/null
trap - EXIT
for path in "${installed[@]}"; do
    [[ -d $path ]] && continue
    [[ ! -e $path ]] || fail "$path is still there after removal"
done
! command -v qcalc >/dev/null || fail "qcalc is still on PATH after removal"
status=$(dpkg-query -W -f='${Status}' quillmere 2>/dev/null || true)
[[ -z $status || $status == *not-installed ]] || fail "dpkg still lists quillmere: $status"
echo "package $(basename "$deb"): installed, ran from PATH, removed cleanly"
