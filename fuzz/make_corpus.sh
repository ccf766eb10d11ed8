#!/usr/bin/env bash
# Builds the seed corpus: every example and test design, its four tables
# joined by lines holding only "%%".
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-fuzz/corpus}
mkdir -p "$out"
for dir in examples/*/ tests/data/*/*/; do
  if [ -f "$dir/gn.txt" ]; then io=io.txt gn=gn.txt ln=ln.txt dn=dn.txt; else io=io.txt gn=global.txt ln=local.txt dn=data.txt; fi
  [ -f "$dir/$io" ] && [ -f "$dir/$dn" ] || continue
  name=$(echo "$dir" | tr '/' '_')
  { cat "$dir/$io"; printf '\n%%%%\n'; cat "$dir/$gn"; printf '\n%%%%\n';
    cat "$dir/$ln"; printf '\n%%%%\n'; cat "$dir/$dn"; } > "$out/$name"
done
ls "$out" | wc -l
