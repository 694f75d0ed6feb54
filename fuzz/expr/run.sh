#!/usr/bin/env bash
# Builds the formula engine's fuzzer with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer), seeds its corpus from the formula tables of the
# tests and runs it for the given number of seconds.
# Usage: run.sh BUILD_DIR SECONDS
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
build_dir=${1:?usage: run.sh BUILD_DIR SECONDS}
seconds=${2:?usage: run.sh BUILD_DIR SECONDS}
out=$build_dir/expr
mkdir -p "$out/objects" "$out/corpus"

flags=(-std=c++17 -O1 -g -fno-omit-frame-pointer
       -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
       -I"$root/expr/include" -I"$root/expr/src")
objects=()
for source in "$root"/expr/src/*.cpp "$root"/fuzz/expr/ExprFuzzer.cpp; do
    object=$out/objects/$(basename "${source%.cpp}").o
    if [[ ! -f "$object" || "$source" -nt "$object" || -n $(find "$root/expr" -name '*.h' -newer "$object" -print -quit) ]]; then
        clang++ "${flags[@]}" -c "$source" -o "$object"
    fi
    objects+=("$object")
done
clang++ -fsanitize=fuzzer,address,undefined "${objects[@]}" -o "$out/expr_fuzzer"

# Seeds: every quoted formula of the table tests, one file each.
grep -ho '{"[^"]*"' "$root"/tests/expr/*TableTest.cpp "$root"/tests/expr/SettledCountdownTest.cpp \
    | sed 's/^{"//; s/"$//' | sort -u | while IFS= read -r formula; do
        printf '%s' "$formula" > "$out/corpus/seed-$(printf '%s' "$formula" | cksum | cut -d' ' -f1)"
    done

echo "Fuzzing the formula engine for $seconds s (corpus: $out/corpus)"
"$out/expr_fuzzer" "$out/corpus" -dict="$root/fuzz/expr/expr.dict" -max_total_time="$seconds" \
    -max_len=4096 -timeout=10 -rss_limit_mb=4096 -print_final_stats=1
