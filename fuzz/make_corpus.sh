#!/usr/bin/env bash
# Builds the seed corpus: every example design and every test case's design,
# its four tables joined by lines holding only "%%".
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-fuzz/corpus}
mkdir -p "$out"
for dir in examples/*/; do
  name=$(echo "$dir" | tr '/' '_')
  { cat "$dir/io.txt"; printf '\n%%%%\n'; cat "$dir/global.txt"; printf '\n%%%%\n';
    cat "$dir/local.txt"; printf '\n%%%%\n'; cat "$dir/data.txt"; } > "$out/$name"
done
# A case names its tables io.txt, global.txt (or gn.txt), local.txt (or
# ln.txt) and data.txt (or dn.txt); cases without a data net are skipped.
section() {  # section FILE NAME...: the lines of the first section found
  awk -v names=" ${*:2} " '/^%% /{ on = index(names, " " $2 " ") > 0; next } on' "$1"
}
find tests/cases -name '*.case' | sort | while read -r case; do
  grep -qE '^%% (data|dn)\.txt' "$case" || continue
  name=$(echo "${case#tests/cases/}" | tr '/' '_')
  { section "$case" io.txt; printf '%%%%\n'; section "$case" global.txt gn.txt; printf '%%%%\n';
    section "$case" local.txt ln.txt; printf '%%%%\n'; section "$case" data.txt dn.txt; } > "$out/$name"
done
ls "$out" | wc -l
