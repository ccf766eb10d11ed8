#!/usr/bin/env bash
# Builds the seed corpus: every example and test design, its four tables
# joined by lines holding only "%%".
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-fuzz/corpus}
mkdir -p "$out"
for dir in examples/*/ tests/data/*/*/; do
  [ -f "$dir/io.txt" ] && [ -f "$dir/data.txt" ] || continue
  name=$(echo "$dir" | tr '/' '_')
  { cat "$dir/io.txt"; printf '\n%%%%\n'; cat "$dir/global.txt"; printf '\n%%%%\n';
    cat "$dir/local.txt"; printf '\n%%%%\n'; cat "$dir/data.txt"; } > "$out/$name"
done
ls "$out" | wc -l
