#!/usr/bin/env bash
# A packager or an IDE configures with CMake's default generator (Make), not
# Ninja. The C++ targets compile alike under both; what differs is how custom
# commands find their output folders, so those targets are built here from a
# fresh build folder with Make.
# Usage: default_generator_test.sh SOURCE_DIR SCRATCH_DIR
set -euo pipefail
source_dir=${1:?usage: default_generator_test.sh SOURCE_DIR SCRATCH_DIR}
build_dir=${2:?usage: default_generator_test.sh SOURCE_DIR SCRATCH_DIR}

rm -rf "$build_dir"
cmake -S "$source_dir" -B "$build_dir" -G "Unix Makefiles" > "$build_dir.configure.log" 2>&1 \
    || { cat "$build_dir.configure.log"; exit 1; }
targets=$(grep -ho 'add_custom_target([a-z_]*' "$source_dir"/doc/CMakeLists.txt "$source_dir"/data/CMakeLists.txt | sed 's/.*(//')
for target in $targets; do
    cmake --build "$build_dir" --target "$target" -- -j2
done
test -s "$build_dir/doc/man/quillmere-batch.1"
echo "built with Make: $targets"
