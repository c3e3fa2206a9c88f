#!/usr/bin/env bash
# Runs two builds of the converters run for run on the same fonts and
# reports every difference in images, messages or exit statuses.
#
# Usage: bench/compare_builds.sh OLD_BUILD NEW_BUILD [FONT...]
#
# OLD_BUILD and NEW_BUILD are build folders (glyphmill/glyphmill and
# cellforge/cellforge inside). Without fonts, the samples and every seed of
# the fuzz corpus are used, plus the BDF fonts under /usr/share/fonts
# converted by pcf2bdf where it is installed. Each font is run through
# glyphmill, cellforge, cellforge -ascii, and cellforge with the sample
# font as font 1 and the font as font 2 (and on standard input).
set -euo pipefail
cd "$(dirname "$0")/.."
[[ $# -ge 2 ]] || { echo "usage: $0 OLD_BUILD NEW_BUILD [FONT...]" >&2; exit 2; }
old=$(realpath "$1") new=$(realpath "$2")
shift 2
scratch=$(mktemp -d "${TMPDIR:-/tmp}/compare.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

fonts=("$@")
if [[ ${#fonts[@]} -eq 0 ]]; then
    fonts=(samples/*.bdf fuzz/corpus/fonts/*)
    if command -v pcf2bdf >/dev/null; then
        mkdir -p "$scratch/debian"
        for pcf in /usr/share/fonts/X11/misc/*.pcf.gz; do
            [[ -e $pcf ]] || continue
            bdf=$scratch/debian/$(basename "$pcf" .pcf.gz).bdf
            zcat "$pcf" | pcf2bdf > "$bdf" 2>/dev/null && fonts+=("$bdf")
        done
    fi
fi
sample=$(realpath samples/shinonome-12-gothic.bdf)

# run BUILD FOLDER COMMAND...: the command's output, status and images.
run() {
    local build=$1 folder=$2
    shift 2
    rm -rf "$folder" && mkdir -p "$folder"
    (cd "$folder" && set +e && "$@" > output 2>&1; echo "status $?" >> output) || true
    (cd "$folder" && for image in KANJIROM.66 CGROM60.66 CGROM66.66; do
        if [[ -e $image ]]; then echo "$image $(cksum < "$image")"; else echo "$image none"; fi
    done) >> "$folder/output"
}

runs=0 differences=0
for font in "${fonts[@]}"; do
    font=$(realpath "$font")
    for variant in glyphmill cellforge ascii pair pipe; do
        for side in old new; do
            build=${!side}
            folder=$scratch/$side
            case $variant in
            glyphmill) run "$build" "$folder" "$build/glyphmill/glyphmill" "$font" ;;
            cellforge) run "$build" "$folder" "$build/cellforge/cellforge" "$font" ;;
            ascii) run "$build" "$folder" "$build/cellforge/cellforge" -ascii "$font" ;;
            pair) run "$build" "$folder" "$build/cellforge/cellforge" "$sample" "$font" ;;
            pipe) run "$build" "$folder" sh -c "cat '$font' | '$build/cellforge/cellforge' '$sample' -" ;;
            esac
        done
        runs=$((runs + 1))
        if ! cmp -s "$scratch/old/output" "$scratch/new/output"; then
            differences=$((differences + 1))
            echo "DIFFERENT: $variant $font"
            diff "$scratch/old/output" "$scratch/new/output" | head -n 10
        fi
    done
done
echo "$runs runs compared, $differences different"
[[ $differences -eq 0 ]]
