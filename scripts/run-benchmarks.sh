#!/usr/bin/env bash
# Runs every benchmark of a build made with -DQUILLMERE_BENCH=ON (make bench).
# Usage: run-benchmarks.sh BUILD_DIR
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$(cd "${1:?usage: run-benchmarks.sh BUILD_DIR}" && pwd)

expression_bench=$build_dir/bench/bench_expr
if [[ -x "$expression_bench" ]]; then
    echo "== Formula engine ($expression_bench)"
    "$expression_bench"
else
    echo "== Formula engine: skipped, $expression_bench has not been built"
fi

echo
echo "== Batch runs"
"$root/bench/batch/run_batch_bench.sh" "$build_dir/tools/quillmere-batch"

echo
echo "== System calls a file"
"$root/bench/batch/count_system_calls.sh" "$build_dir/tools/quillmere-batch"
