#!/usr/bin/env bash
# A backup of 70,000 files, one with a non-ASCII name, read back by five
# independent ZIP readers: every entry's name and bytes must come back. Then
# the tool's own restore brings back what was deleted or changed since.
# Usage: backup_readers_test.sh QUILLMERE_BATCH
set -euo pipefail
tool=$1
export LC_ALL=C.UTF-8

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

mkdir "$work/presets"
python3 - "$work/presets" <<'PY'
import os, sys
folder = sys.argv[1]
for i in range(70000):
    with open(os.path.join(folder, "p%05d.xml" % i), "w") as f:
        f.write('<preset id="%d" gain="%d.5"/>\n' % (i, i % 97))
with open(os.path.join(folder, "\u00fcber.xml"), "w") as f:
    f.write('<preset name="\u00fcber"/>\n')
PY

# A search text that matches nothing: the run backs everything up and changes nothing.
"$tool" --replace 'no such text' 'x' "$work/presets" > "$work/run.log" || fail "the run failed: $(tail -3 "$work/run.log")"
archive="$work/presets/QuillmereBackup.zip"
[[ -f "$archive" ]] || fail "no backup"

unzip -tq "$archive" > /dev/null || fail "unzip -t"
# The listing is read whole before it is searched: with pipefail, a grep -q that
# stops early would kill unzip with SIGPIPE and fail the pipeline.
unzip -l "$archive" > "$work/unzip-l.txt" || fail "unzip -l"
grep -q ' über.xml$' "$work/unzip-l.txt" || fail "unzip -l does not list über.xml"
[[ $(bsdtar -tf "$archive" | wc -l) -eq 70001 ]] || fail "bsdtar -tf does not list 70001 entries"
7z t "$archive" > "$work/7z.log" || fail "7z t: $(tail -5 "$work/7z.log")"
grep -q '^Files: 70001' "$work/7z.log" || fail "7z counts $(grep '^Files' "$work/7z.log")"

python3 - "$archive" "$work/presets" <<'PY' || fail "Python's zipfile"
import os, sys, zipfile
archive, folder = sys.argv[1], sys.argv[2]
with zipfile.ZipFile(archive) as z:
    names = z.namelist()
    assert len(names) == 70001, len(names)
    for name in names:
        with open(os.path.join(folder, name), "rb") as f:
            assert z.read(name) == f.read(), name
    info = z.getinfo("\u00fcber.xml")
    assert info.create_system == 3, info.create_system
    assert (info.external_attr >> 16) & 0o777 == os.stat(os.path.join(folder, "\u00fcber.xml")).st_mode & 0o777
PY

mkdir "$work/restored"
unzip -q "$archive" -d "$work/restored" || fail "unzip"
diff -rq --exclude='QuillmereBackup*.zip' "$work/presets" "$work/restored" > /dev/null || fail "unzip restored other bytes"
echo "five readers agree on 70001 entries"

# The same ZIP64 archive restores what was deleted or changed since: the
# folder unzip extracted, checked above, holds every file as it was.
rm "$work/presets"/p0*.xml
echo changed > "$work/presets/über.xml"
"$tool" --restore "$archive" > "$work/restore.log" || fail "the restore failed: $(tail -3 "$work/restore.log")"
diff -rq --exclude='QuillmereBackup*.zip' "$work/restored" "$work/presets" > /dev/null || fail "the restore did not bring every file back"
echo "restored 70001 entries from a ZIP64 archive"
