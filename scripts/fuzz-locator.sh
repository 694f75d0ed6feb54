#!/usr/bin/env bash
# Builds the attribute locator's libFuzzer target with AddressSanitizer and
# UBSan and runs it for a given time on a corpus seeded with the examples.
# Usage: fuzz-locator.sh SECONDS [BUILD_DIR]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:?usage: fuzz-locator.sh SECONDS [BUILD_DIR]}
out=${2:-$root/build-fuzz}/locator
mkdir -p "$out/corpus"

clang++ -std=c++17 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I"$root/xmltext" -I"$root/formula" "$root/fuzz/locator/LocatorFuzzer.cpp" "$root/xmltext/AttributeLocator.cpp" \
    "$root/xmltext/DeclarationBlanks.cpp" "$root/xmltext/ValuePath.cpp" "$root/formula/NumberText.cpp" \
    -lexpat -o "$out/locator-fuzzer"

# Seeds: the example presets and the same kind of document in the other encodings.
cp "$root"/examples/*.xml "$root"/examples/*/*.xml "$out/corpus/"
printf '<?xml version="1.0" encoding="ISO-8859-1"?><a gain="1.50">caf\xe9<b GAIN=\x27x\x27 gain="2"/></a>' > "$out/corpus/latin1.xml"
printf '\xff\xfe<\0a\0 \0g\0a\0i\0n\0=\0"\0\x33\0"\0/\0>\0' > "$out/corpus/utf16le.xml"
printf '<!DOCTYPE a [<!ENTITY e "<b gain=\x271\x27/>">]><a>&e;<b gain="1&#46;5"/></a>' > "$out/corpus/entity.xml"

printf '//par[@name=\x27volume\x27]/@value[. > 64]\n<bank><par name="volume" value="72"/><v> 3 </v></bank>' > "$out/corpus/path.txt"
printf '//v/text()\n<a><v> 1.5 </v><v><![CDATA[2]]></v><v>3<b/></v></a>' > "$out/corpus/text.txt"
# Deep nesting, past the parser's bound, must be refused rather than overflow the stack.
{ printf '//b['; for _ in $(seq 3000); do printf 'not(('; done; printf '@n=1'; for _ in $(seq 3000); do printf '))'; done; printf ']/@v\n<b n="1" v="2"/>'; } > "$out/corpus/deep.txt"

cd "$out"
./locator-fuzzer -max_total_time="$seconds" -dict="$root/fuzz/locator/xml.dict" -max_len=65536 -print_final_stats=1 corpus
