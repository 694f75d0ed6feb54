#!/usr/bin/env bash
# quillmere-batch killed at random points never leaves an archive under its
# final name unless it is complete, the next run removes its temporary files,
# and Ctrl-C stops a run with status 130, every file old or new.
# Usage: interrupt_test.sh QUILLMERE_BATCH
set -euo pipefail
tool=$1

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

python3 - "$work" <<'PY'
import os, sys
for i in range(8000):
    with open(os.path.join(sys.argv[1], "f%05d.xml" % i), "w") as f:
        f.write("<a v='Blah'>%s</a>\n" % ("x" * (i % 500)))
PY

for attempt in 1 2 3 4; do
    "$tool" --replace Blah Blub "$work" > /dev/null 2>&1 &
    pid=$!
    sleep "0.$((RANDOM % 9 + 1))"
    kill -9 "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    for archive in "$work"/QuillmereBackup*.zip; do
        [[ -e "$archive" ]] || continue
        unzip -tq "$archive" > /dev/null 2>&1 || fail "attempt $attempt left an incomplete $archive"
    done
    # Swap the texts back, so that every attempt has something to do.
    "$tool" --replace Blub Blah "$work" > "$work/next.log" 2>&1 || fail "the run after attempt $attempt failed"
    ! grep -q '^\.quillmere-' <<< "$(ls -A "$work")" || fail "temporary files left after attempt $attempt"
done

"$tool" --replace Blah Blub "$work" > "$work/int.log" 2>&1 &
pid=$!
for _ in $(seq 200); do grep -q 'processing file' "$work/int.log" && break; sleep 0.05; done
kill -INT "$pid"
status=0
wait "$pid" || status=$?
[[ $status -eq 130 ]] || fail "Ctrl-C gave status $status: $(tail -3 "$work/int.log")"
grep -q 'Batch processing cancelled. $' "$work/int.log" || fail "no cancel line"
! grep -q '^\.quillmere-' <<< "$(ls -A "$work")" || fail "temporary files left after Ctrl-C"
for f in "$work"/f*.xml; do
    grep -qE "v='Bl(ah|ub)'" "$f" || fail "$f is neither old nor new"
done
echo "interrupted runs left nothing half done"
