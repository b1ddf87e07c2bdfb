#!/bin/sh
# Every folder of src/ is one floor: a folder includes only from folders below it, so the folders'
# include graph has no circle. tsort reports a loop when there is one.
set -eu
src=${1:?usage: check-layering.sh SRC_DIR}
cd "$src"
edges=$(for dir in */; do
    dir=${dir%/}
    grep -rhoE '#include "[a-z]+/' "$dir" 2>/dev/null | sed 's/#include "//; s#/$##' | sort -u |
        while read -r used; do
            [ "$used" = "$dir" ] || echo "$dir $used"
        done
done)
if ! out=$(printf '%s\n' "$edges" | tsort 2>&1 >/dev/null) || [ -n "$out" ]; then
    echo "include circle between the folders of src/:" >&2
    echo "$out" >&2
    exit 1
fi
echo "folders, each including only from the ones after it:"
printf '%s\n' "$edges" | tsort | tr '\n' ' '
echo
