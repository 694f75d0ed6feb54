#!/usr/bin/env bash
# The Windows packages as a user meets them, under Wine with a new user (a
# fresh prefix) on a virtual screen: the zip holds the three programs, each
# with its icon, version and manifest, and they run from it; setup.exe /S
# installs without a question under %LOCALAPPDATA%\Programs\Quillmere with a
# Start-menu entry, an uninstall entry and the Explorer verb on folders and
# folder backgrounds; the verb's command opens the installed window on that
# folder, and without a folder it opens on Documents; /S /PATH adds the
# programs' folder to the user's PATH; the uninstaller removes all of that,
# and leaves the user's backup, a file the user put in the programs' folder
# and the rest of the PATH as they were.
#
# Usage: installer.sh SETUP_EXE ZIP [SCREENSHOT_DIR]
set -uo pipefail
export LC_ALL=C

if [[ $# -lt 2 ]]; then
    echo "usage: $0 SETUP_EXE ZIP [SCREENSHOT_DIR]" >&2
    exit 2
fi
setup=$(realpath "$1") zip=$(realpath "$2") shots=$(realpath "${3:-.}")
version=$(basename "$zip" | sed -n 's/^Quillmere-\(.*\)-win64\.zip$/\1/p')
for tool in wine wineboot wineserver winepath Xvfb xdotool import unzip wrestool; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed" >&2; exit 1; }
done

scratch=$(mktemp -d)
# winemenubuilder would copy the Start-menu entry into this machine's own
# menus, and a new prefix links the user's Documents to $HOME: a home of its own.
export WINEPREFIX=$scratch/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=,winemenubuilder.exe=d"
export HOME=$scratch/home
mkdir -p "$HOME/Documents"
xvfb_pid=
app_pid=
cleanup() {
    if [[ -n "$app_pid" ]]; then kill "$app_pid" 2>/dev/null; wait "$app_pid" 2>/dev/null; fi
    wineserver -k 2>/dev/null
    if [[ -n "$xvfb_pid" ]]; then kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; fi
    rm -rf "$scratch"
}
trap cleanup EXIT

passed=0 failed=0
check() { # check WHAT COMMAND...: one line per check
    if "${@:2}"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAIL: $1" >&2; fi
}
same() { [[ "$1" == "$2" ]] || { echo "  got:      $1" >&2; echo "  expected: $2" >&2; return 1; }; }
absent() { [[ ! -e "$1" ]]; }
source "$(dirname "${BASH_SOURCE[0]}")/virtual-screen.sh" # wait_for, start_virtual_screen
# The type and data of a registry value, as "REG_SZ data"; nothing when missing.
reg_value() {
    wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^    $2    \(REG_[A-Z_]*\)    \(.*\)$/\1 \2/p"
}
reg_default() {
    wine reg query "$1" /ve 2>/dev/null | tr -d '\r' | sed -n 's/^    (Default)    \(REG_[A-Z_]*\)    \(.*\)$/\1 \2/p'
}
has_key() { wine reg query "$1" >/dev/null 2>&1; }
no_key() { ! has_key "$1"; }
windows_env() { wine cmd /c echo "%$1%" 2>/dev/null | tr -d '\r'; }

# The zip: one folder with the programs, the licence and the readme; each
# program carries an icon, a version resource naming the version, and the manifest.
unzip -q "$zip" -d "$scratch/zip"
portable=$scratch/zip/Quillmere-$version-win64
check "the zip holds one folder with the five files" same "$(cd "$scratch/zip" && find . -type f | sort | tr '\n' ' ')" \
    "./Quillmere-$version-win64/LICENSE.txt ./Quillmere-$version-win64/Quillmere.exe ./Quillmere-$version-win64/README.txt ./Quillmere-$version-win64/qcalc.exe ./Quillmere-$version-win64/quillmere-batch.exe "
for program in Quillmere quillmere-batch qcalc; do
    exe=$portable/$program.exe
    check "$program.exe has an icon, a version and a manifest" \
        same "$(wrestool -l "$exe" | grep -o -- '--type=[0-9]*' | sort -u | tr '\n' ' ')" "--type=14 --type=16 --type=24 --type=3 "
    check "$program.exe's version resource names version $version" \
        grep -q "ProductVersion$version" <(wrestool -x --raw --type=16 "$exe" | tr -d '\0')
    check "$program.exe's manifest asks for UTF-8, long paths and per-monitor DPI" \
        same "$(wrestool -x --raw --type=24 "$exe" | grep -o -e '>UTF-8<' -e 'longPathAware[^>]*>true' -e 'PerMonitorV2' | wc -l)" 3
done

start_virtual_screen "$scratch" || { echo "FAIL: no virtual screen" >&2; exit 1; }
wineboot -i >/dev/null 2>&1
wineserver -w

check "qcalc.exe runs from the unpacked zip" same "$(wine "$portable/qcalc.exe" '1 + 2' 2>&1 | tr -d '\r')" 3

# A PATH of the user's own, which the installer must keep.
user_path='C:\tools;%USERPROFILE%\bin'
wine reg add 'HKCU\Environment' /v Path /t REG_EXPAND_SZ /d "$user_path" /f >/dev/null 2>&1

# A question would wait for an answer that never comes: the timeout fails it.
check "setup.exe /S installs without a question" timeout 120 wine "$setup" /S
install=$(windows_env LOCALAPPDATA)'\Programs\Quillmere'
install_unix=$(winepath -u "$install" 2>/dev/null)
shortcut=$(winepath -u "$(windows_env APPDATA)\\Microsoft\\Windows\\Start Menu\\Programs\\Quillmere.lnk" 2>/dev/null)
check "the programs' folder holds what was installed" same "$(ls "$install_unix" | tr '\n' ' ')" \
    "LICENSE.txt Quillmere.exe README.txt Uninstall.exe qcalc.exe quillmere-batch.exe "
check "the Start menu has Quillmere" test -s "$shortcut"
apps='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillmere'
check "Apps lists Quillmere" same "$(reg_value "$apps" DisplayName)" "REG_SZ Quillmere"
check "Apps shows the version" same "$(reg_value "$apps" DisplayVersion)" "REG_SZ $version"
check "Apps uninstalls with Uninstall.exe" same "$(reg_value "$apps" UninstallString)" "REG_SZ \"$install\\Uninstall.exe\""
verbs=('HKCU\Software\Classes\Directory\shell\Quillmere' 'HKCU\Software\Classes\Directory\Background\shell\Quillmere')
for verb in "${verbs[@]}"; do
    check "$verb reads as the verb" same "$(reg_default "$verb")" "REG_SZ Edit XML files with Quillmere"
    check "$verb opens the installed window on the folder" \
        same "$(reg_default "$verb\\command")" "REG_SZ \"$install\\Quillmere.exe\" \"%V\""
done
check "the PATH stays as it was without /PATH" same "$(reg_value 'HKCU\Environment' Path)" "REG_EXPAND_SZ $user_path"

# The verb's command on a folder of presets in Documents: the installed window opens on it.
documents=$(windows_env USERPROFILE)'\Documents'
presets=$documents'\presets'
presets_unix=$HOME/Documents/presets
mkdir -p "$presets_unix/sub"
printf '<?xml version="1.0"?>\n<mix gain="0.25"><ch>Blah</ch></mix>\n' >"$presets_unix/mixer.xml"
title=
window_titled() { # window_titled TITLE: a visible window has that title
    local window
    window=$(xdotool search --onlyvisible --name '^Quillmere - ' 2>/dev/null | head -n 1)
    title=$(xdotool getwindowname "$window" 2>/dev/null)
    [[ "$title" == "$1" ]]
}
open_window() { # open_window TITLE [FOLDER]: starts the installed window, waits for TITLE
    wine "$install\\Quillmere.exe" "${@:2}" >"$scratch/app.log" 2>&1 &
    app_pid=$!
    wait_for "window_titled '$1'" && return 0
    echo "  the title is '$title'; the program printed:" >&2
    sed 's/^/    /' "$scratch/app.log" >&2
    return 1
}
close_window() { kill "$app_pid" 2>/dev/null; wait "$app_pid" 2>/dev/null; app_pid=; wineserver -w; }
if check "the verb's command opens the installed window on the folder" open_window "Quillmere - $presets" "$presets"; then
    sleep 2 # the first paint
    import -window root "$shots/installed-window.png" 2>/dev/null
fi
close_window
check "without a folder the window opens on Documents" open_window "Quillmere - $documents"
close_window
check "given a file (Open with), the window opens on its folder" open_window "Quillmere - $presets" "$presets\\mixer.xml"
close_window

# The installed tool works on the folder, names it the Windows way, and
# leaves a backup there that the uninstaller must not take.
batch_out=$(wine "$install\\quillmere-batch.exe" --replace Blah Blub "$presets" 2>&1 | tr -d '\r')
check "quillmere-batch.exe names the folder the Windows way" grep -qF "in xml-files in folder: $presets" <<<"$batch_out"
check "quillmere-batch.exe names the files the Windows way" grep -qF "$presets\\mixer.xml" <<<"$batch_out"
check "quillmere-batch.exe made a backup" test -s "$presets_unix/QuillmereBackup.zip"
# Its arguments arrive in UTF-8, as the manifest's code page asks (Wine's own is 1252).
mkdir -p "$HOME/Documents/café"
printf '<a>Blah</a>\n' >"$HOME/Documents/café/été.xml"
check "quillmere-batch.exe takes a folder name beyond ASCII" grep -qF "$documents\\café\\été.xml: 1 change" \
    <<<"$(LC_ALL=C.UTF-8 wine "$install\\quillmere-batch.exe" --dry-run --replace Blah Blub "$documents\\café" 2>&1 | tr -d '\r')"

# An update with /PATH adds the programs' folder to the user's PATH.
check "setup.exe /S /PATH installs over the installed version" timeout 120 wine "$setup" /S /PATH
check "/PATH adds the programs' folder to the PATH" same "$(reg_value 'HKCU\Environment' Path)" "REG_EXPAND_SZ $user_path;$install"

echo "the user's own" >"$install_unix/notes.txt"
# The uninstaller runs from a copy of itself and returns at once: the Wine server ends when it has.
check "Uninstall.exe /S runs" timeout 120 wine "$install\\Uninstall.exe" /S
timeout 120 wineserver -w
check "the uninstaller removes the programs and leaves the user's file" same "$(ls "$install_unix" | tr '\n' ' ')" "notes.txt "
check "the uninstaller removes the Start-menu entry" absent "$shortcut"
check "the uninstaller removes the Apps entry" no_key "$apps"
for verb in "${verbs[@]}"; do
    check "the uninstaller removes $verb" no_key "$verb"
done
check "the uninstaller gives the PATH back as it was" same "$(reg_value 'HKCU\Environment' Path)" "REG_EXPAND_SZ $user_path"
check "the uninstaller leaves the user's backup" test -s "$presets_unix/QuillmereBackup.zip"

# A PATH longer than the installer's strings (1024 characters) is left as it is, never cut.
long_path=$user_path$(printf ';C:\\a-rather-long-folder-name-%02d' $(seq 1 40))
wine reg add 'HKCU\Environment' /v Path /t REG_EXPAND_SZ /d "$long_path" /f >/dev/null 2>&1
check "setup.exe /S /PATH installs beside a PATH too long for it" timeout 120 wine "$setup" /S /PATH
check "a PATH too long for the installer stays as it was" same "$(reg_value 'HKCU\Environment' Path)" "REG_EXPAND_SZ $long_path"

[[ -f $shots/installed-window.png ]] && echo "screenshot of the installed window: $shots/installed-window.png"
echo "installer: $passed passed, $failed failed"
((failed == 0))
