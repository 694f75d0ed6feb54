#!/usr/bin/env bash
# The structure edits against xmlstarlet: for each edit, on a preset in
# UTF-8 with LF, with CR LF, in Latin-1 and gzip-compressed, the file
# quillmere-batch writes parses to what `xmlstarlet ed` makes of the same
# edit (compared as canonical XML without blank text). Then a recipe of all
# of them and a convert runs in one pass with one backup, and a restore gives
# every byte back; refusals change nothing and leave no backup.
# Usage: structure_edits_test.sh QUILLMERE_BATCH
set -euo pipefail
tool=$1
export LC_ALL=C.UTF-8

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
command -v xmlstarlet > /dev/null || fail "xmlstarlet is not installed"

# variant NAME FILE: the preset as that variant stores it.
variant() {
    python3 - "$1" "$2" <<'PY'
import gzip, sys
name, target = sys.argv[1], sys.argv[2]
text = ('<?xml version="1.0" encoding="UTF-8"?>\n'
        '<!-- factory bank: caf\u00e9 -->\n'
        '<preset name=\'Caf\u00e9 &amp; Bar\' version="1">\n'
        '  <par name="volume" value="0.5"/>\n'
        '  <par name=\'old_drive\' value=\'3\'/>\n'
        '  <par name="cutoff"\n'
        '       value="64"   range="0 127"/>\n'
        '  <notes><![CDATA[keep <this>]]></notes>\n'
        '  <title>Night</title>\n'
        '</preset>\n')
if name == "crlf":
    data = text.replace("\n", "\r\n").encode("utf-8")
elif name == "latin1":
    data = text.replace('"UTF-8"', '"ISO-8859-1"').encode("latin-1")
else:
    data = text.encode("utf-8")
if name == "gzip":
    data = gzip.compress(data)
open(target, "wb").write(data)
PY
}

# canonical FILE: the parsed document, gzip or not, without blank text.
canonical() {
    python3 - "$1" <<'PY'
import gzip, sys, xml.etree.ElementTree as ET
data = open(sys.argv[1], "rb").read()
if data[:2] == b"\x1f\x8b":
    data = gzip.decompress(data)
print(ET.canonicalize(xml_data=data, strip_text=True))
PY
}

# check LABEL "QUILLMERE ARGS" "XMLSTARLET ARGS"
check() {
    local label=$1 ours=$2 theirs=$3
    for kind in lf crlf latin1 gzip; do
        rm -rf "$work/f" && mkdir "$work/f"
        variant "$kind" "$work/f/preset.xml"
        cp "$work/f/preset.xml" "$work/original.xml"
        eval "\"$tool\" --include '*.xml' $ours \"$work/f\"" > "$work/run.log" 2>&1 || fail "$label ($kind): $(tail -3 "$work/run.log")"
        grep -q "done. (" "$work/run.log" || fail "$label ($kind): no count on the log line: $(cat "$work/run.log")"
        if [[ $kind == gzip ]]; then
            [[ $(head -c2 "$work/f/preset.xml" | od -An -tx1 | tr -d ' ') == 1f8b ]] || fail "$label: not written back compressed"
            gzip -dc "$work/original.xml" > "$work/plain.xml"
        else
            cp "$work/original.xml" "$work/plain.xml"
        fi
        eval "xmlstarlet ed $theirs \"$work/plain.xml\"" > "$work/theirs.xml"
        [[ "$(canonical "$work/f/preset.xml")" == "$(canonical "$work/theirs.xml")" ]] \
            || fail "$label ($kind): parses differently from xmlstarlet:\n$(canonical "$work/f/preset.xml")\n$(canonical "$work/theirs.xml")"
    done
}

check "set attribute" "--set \"//par[@name='volume']/@value\" 0.75" "-u \"//par[@name='volume']/@value\" -v 0.75"
check "set text" "--set '//title/text()' 'Day'" "-u '//title/text()' -v 'Day'"
check "rename attribute" "--rename '//par/@range' span" "-r '//par/@range' -v span"
check "rename element" "--rename '//title' heading" "-r '//title' -v heading"
check "delete attribute" "--delete '//par/@range'" "-d '//par/@range'"
check "delete element" "--delete \"//par[@name='old_drive']\"" "-d \"//par[@name='old_drive']\""
check "add attribute" "--add-attribute '//par' min 0" "-i '//par[not(@min)]' -t attr -n min -v 0"
check "add element" "--add-element /preset '<par name=\"width\"/>'" "-s /preset -t elem -n par -v '' -i '/preset/par[last()]' -t attr -n name -v width"

# A recipe of every edit and a convert: one pass, one backup, and a restore gives every byte back.
cat > "$work/migrate.recipe" <<'RECIPE'
set "//par[@name='volume']/@value" 0.75
rename "//par[@name='cutoff']/@range" span
delete "//par[@name='old_drive']"
add-attribute //par min 0
add-element /preset '<par name="width" value="1"/>'
convert "//par[@name='cutoff']/@value" 'y = x * 2;'
RECIPE
for kind in lf crlf latin1 gzip; do
    rm -rf "$work/f" && mkdir "$work/f"
    variant "$kind" "$work/f/preset.xml"
    cp "$work/f/preset.xml" "$work/original.xml"
    "$tool" --recipe "$work/migrate.recipe" "$work/f" > "$work/run.log" 2>&1 || fail "recipe ($kind): $(tail -3 "$work/run.log")"
    [[ $(ls "$work/f" | grep -c '^QuillmereBackup') == 1 ]] || fail "recipe ($kind): not one backup"
    [[ $kind == gzip ]] && gzip -dc "$work/original.xml" > "$work/plain.xml" || cp "$work/original.xml" "$work/plain.xml"
    xmlstarlet ed -u "//par[@name='volume']/@value" -v 0.75 -r "//par[@name='cutoff']/@range" -v span \
        -d "//par[@name='old_drive']" -i '//par[not(@min)]' -t attr -n min -v 0 \
        -s /preset -t elem -n par -v '' -i '/preset/par[last()]' -t attr -n name -v width \
        -i '/preset/par[last()]' -t attr -n value -v 1 \
        -u "//par[@name='cutoff']/@value" -x '. * 2' "$work/plain.xml" > "$work/theirs.xml"
    [[ "$(canonical "$work/f/preset.xml")" == "$(canonical "$work/theirs.xml")" ]] \
        || fail "recipe ($kind): parses differently from xmlstarlet:\n$(canonical "$work/f/preset.xml")\n$(canonical "$work/theirs.xml")"
    "$tool" --restore "$work/f/QuillmereBackup.zip" > "$work/restore.log" 2>&1 || fail "restore ($kind): $(tail -3 "$work/restore.log")"
    cmp -s "$work/f/preset.xml" "$work/original.xml" || fail "restore ($kind): not the original bytes"
done

# Refused before the backup, with status 2; a failing file keeps its bytes, with status 1.
refused() {
    rm -rf "$work/f" && mkdir "$work/f"
    variant lf "$work/f/preset.xml"
    local status=0
    "$tool" "$@" "$work/f" > "$work/run.log" 2>&1 || status=$?
    [[ $status == 2 ]] || fail "$* ended with $status, not 2: $(cat "$work/run.log")"
    [[ -z $(ls "$work/f" | grep '^QuillmereBackup' || true) ]] || fail "$*: a backup was made"
}
refused --rename //title '1st'
refused --add-attribute //par 'a b' 1
refused --add-element /preset '<a/><b/>'
refused --add-element /preset '<a>'
refused --set //title 5
refused --delete '//title/text()'
refused --add-element '//par/@name' '<a/>'

rm -rf "$work/f" && mkdir "$work/f"
variant lf "$work/f/preset.xml"
cp "$work/f/preset.xml" "$work/original.xml"
for edit in "--delete /preset" "--rename \"//par[@name='volume']/@name\" value"; do
    status=0
    eval "\"$tool\" $edit \"$work/f\"" > "$work/run.log" 2>&1 || status=$?
    [[ $status == 1 ]] || fail "$edit ended with $status, not 1"
    grep -q "failed: " "$work/run.log" || fail "$edit: no reason on the file's line"
    cmp -s "$work/f/preset.xml" "$work/original.xml" || fail "$edit changed the file"
done
echo "structure edits: all checks passed"
