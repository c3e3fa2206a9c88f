#!/usr/bin/env bash
# Builds the fuzz targets (preset "fuzz", clang) and runs each for a bounded
# time over a scratch copy of its seed corpus and its regression inputs, so
# the repository is never written to.
#
# Usage: fuzz/run.sh [seconds per target, default 20]
#
# Fails when a target crashes, hangs or finds a broken property; the
# scratch folder with the log and the offending input is then kept.
#
# Besides small hand-written fonts, each seed folder holds big_* fonts of up
# to 64 KiB cut from the samples, made by tools/make_fuzz_seeds.py. Without
# -max_len libFuzzer takes the largest seed's size as its input limit.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

scratch=$(mktemp -d "${TMPDIR:-/tmp}/fuzz.XXXXXX")
failed=0

# run_target name seed_folder
run_target() {
    local name=$1 work=$scratch/$1
    mkdir -p "$work/corpus"
    cp "fuzz/corpus/$2"/* "$work/corpus/"
    if [[ -d fuzz/regressions/$name ]]; then cp "fuzz/regressions/$name"/* "$work/corpus/"; fi
    if "build-fuzz/fuzz/$name" -max_total_time="$seconds" -timeout=10 -dict=fuzz/bdf.dict \
        -print_final_stats=1 -artifact_prefix="$work/" "$work/corpus" >"$work/log" 2>&1; then
        echo "$name: $(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log") executions, no finding"
    else
        echo "$name: FAILED, log and input in $work"
        tail -n 40 "$work/log"
        failed=1
    fi
}

run_target scan_font_header_fuzzer fonts
run_target glyph_record_fuzzer fonts
run_target rasterize_glyph_fuzzer glyphs
run_target collect_glyphs_fuzzer fonts
run_target kanji_pass_fuzzer fonts
# Built only where FreeType is found.
if [[ -x build-fuzz/fuzz/fontprep_fuzzer ]]; then run_target fontprep_fuzzer fontprep; fi

if [[ $failed -ne 0 ]]; then exit 1; fi
rm -rf "$scratch"
