#!/usr/bin/env bash
# run-fuzz.sh BUILD_DIR SECONDS
#
# Runs folivant-fuzz for SECONDS with a seed corpus: small generated documents in every encoding the
# generator writes, plus the shared corpus of real and malformed TIFF files when this checkout has it.
# The corpus the fuzzer grows is kept in BUILD_DIR/fuzz-corpus; crashes, leaks and timeouts are written to
# BUILD_DIR/fuzz-artifacts/ (each one belongs in a regression test).
set -euo pipefail

BUILD=${1:?usage: run-fuzz.sh BUILD_DIR SECONDS}
SECONDS_TO_RUN=${2:-60}
FUZZ="$BUILD/folivant-fuzz"
MKFAX="$BUILD/folivant-mkfax"
for tool in "$FUZZ" "$MKFAX"; do
    [[ -x "$tool" ]] || { echo "run-fuzz: $tool not found (make fuzz builds it)" >&2; exit 1; }
done
export QT_QPA_PLATFORM=offscreen

SEEDS=$(mktemp -d "${TMPDIR:-/tmp}/folivant-fuzz-seeds.XXXXXX")
trap 'rm -rf "$SEEDS"' EXIT
i=0
seed() {
    i=$((i + 1))
    "$MKFAX" --pages 2 --size 200x260 "$@" "$SEEDS/gen$i.tif" >/dev/null
}
seed --compression g4
seed --compression g4 --fill-order 2 --orientation 6
seed --compression g3 --rows-per-strip 16
seed --compression g3-2d --normal --size 200x130
seed --compression rle
seed --compression none --min-is-black
seed --compression packbits --tile 64x64
seed --compression lzw --photometric grey --rows-per-strip 32
seed --compression deflate --photometric grey --bigtiff
seed --compression jpeg --photometric rgb --rows-per-strip 16
seed --compression jpeg --photometric rgb --tile 64x64 --orientation 8
seed --compression lzw --photometric rgb --unit cm

SHARED="$(cd "$(dirname "$0")/.." && pwd)/../shared/testdata/tiff"
if [[ -d "$SHARED/real" ]]; then
    cp "$SHARED"/real/* "$SHARED"/bad/* "$SEEDS"/ 2>/dev/null || true
else
    echo "run-fuzz: shared corpus not found; seeding with generated documents only"
fi

mkdir -p "$BUILD/fuzz-corpus" "$BUILD/fuzz-artifacts"
echo "run-fuzz: $(ls "$SEEDS" | wc -l) seeds, $SECONDS_TO_RUN s"
"$FUZZ" -max_total_time="$SECONDS_TO_RUN" -rss_limit_mb=2048 -timeout=20 -max_len=262144 \
    -print_final_stats=1 -artifact_prefix="$BUILD/fuzz-artifacts/" "$BUILD/fuzz-corpus" "$SEEDS"
