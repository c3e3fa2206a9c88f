#!/usr/bin/env bash
# Runs two builds of the converters run for run on the same fonts and
# reports every difference in images, messages or exit statuses.
#
# Usage: bench/compare_builds.sh OLD_BUILD NEW_BUILD [FONT...]
#
# OLD_BUILD and NEW_BUILD are build folders (glyphmill/glyphmill and
# cellforge/cellforge inside). Without fonts, the samples, every seed of the
# fuzz corpus and the fonts of bench/compare_fonts.py are used (the samples
# with CR LF, cut, shifted across buffer refills and with NUL bytes; long
# lines; odd numbers and boxes; registries; wide glyphs; ENCODING lines
# inside glyphs; more matching glyphs than the glyph record holds; random
# bytes), plus the PCF fonts under /usr/share/fonts/X11/misc converted by
# pcf2bdf where it is installed. Each font is run through glyphmill (from
# the file and from a pipe), cellforge alone, with -ascii and twice over,
# as font 2 after the sample font and as font 1 before it, as font 2 on a
# pipe (with and without -ascii), and on a pipe under a file size limit
# that stops a copy of more than 1.2 MB.
set -euo pipefail
cd "$(dirname "$0")/.."
[[ $# -ge 2 ]] || { echo "usage: $0 OLD_BUILD NEW_BUILD [FONT...]" >&2; exit 2; }
old=$(realpath "$1") new=$(realpath "$2")
shift 2
scratch=$(mktemp -d "${TMPDIR:-/tmp}/compare.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

fonts=("$@")
if [[ ${#fonts[@]} -eq 0 ]]; then
    python3 bench/compare_fonts.py samples "$scratch/generated"
    fonts=(samples/*.bdf fuzz/corpus/fonts/* "$scratch"/generated/*)
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
    for variant in glyphmill glyphmill_pipe cellforge ascii twice pair pair_reversed pipe ascii_pipe limited_pipe; do
        for side in old new; do
            build=${!side}
            folder=$scratch/$side
            g=$build/glyphmill/glyphmill c=$build/cellforge/cellforge
            case $variant in
            glyphmill) run "$build" "$folder" "$g" "$font" ;;
            glyphmill_pipe) run "$build" "$folder" sh -c "cat '$font' | '$g' -" ;;
            cellforge) run "$build" "$folder" "$c" "$font" ;;
            ascii) run "$build" "$folder" "$c" -ascii "$font" ;;
            twice) run "$build" "$folder" "$c" "$font" "$font" ;;
            pair) run "$build" "$folder" "$c" "$sample" "$font" ;;
            pair_reversed) run "$build" "$folder" "$c" "$font" "$sample" ;;
            pipe) run "$build" "$folder" sh -c "cat '$font' | '$c' '$sample' -" ;;
            ascii_pipe) run "$build" "$folder" sh -c "cat '$font' | '$c' -ascii '$font' -" ;;
            limited_pipe) run "$build" "$folder" sh -c "ulimit -f 1200; cat '$font' | '$c' '$sample' -" ;;
            esac
        done
        runs=$((runs + 1))
        if ! cmp -s "$scratch/old/output" "$scratch/new/output"; then
            differences=$((differences + 1))
            echo "DIFFERENT: $variant $font"
            diff "$scratch/old/output" "$scratch/new/output" | head -n 10 || true
        fi
    done
done
echo "$runs runs compared, $differences different"
[[ $differences -eq 0 ]]
