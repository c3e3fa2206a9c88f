#!/usr/bin/env bash
# Times glyphmill and cellforge on a Unifont-sized font and on a 50 MB font,
# side by side with two reference points on the same file: `wc -l` (reading
# it once) and a full load by FreeType (bench/freetype_load.c). Prints the
# median wall time of each, its ratio to FreeType's load, its CPU time (user +
# system, the whole pipeline for the pipe; steadier than wall time when other
# work shares the machine) and the program's peak memory.
#
#   bench/run.sh            5 rounds each
#   ROUNDS=9 bench/run.sh   more rounds
#
# Builds in build-bench/ (Release) and caches the fonts in build-bench/fonts/.
# The font is Unifont from Debian's xfonts-unifont, turned into BDF by
# pcf2bdf (both installed when missing and this runs as root); where they
# cannot be had, a generated font of the same size and shape. The programs run
# in a scratch directory, so no image lands in the repository.
set -euo pipefail

ROUNDS=${ROUNDS:-5}
LARGE_FONT_BYTES=50000000
SOURCE=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$SOURCE/build-bench
FONTS=$BUILD/fonts
SCRATCH=$(mktemp -d)
trap 'rm -rf "$SCRATCH"' EXIT

say() { printf '%s\n' "$*" >&2; }

# Installs each missing Debian package it can; a package that cannot be had
# is left out and the step that needs it falls back or is skipped.
install_missing() {
    local package missing=()
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed' || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ] || ! command -v apt-get >/dev/null; then return 0; fi
    say "installing ${missing[*]}"
    apt-get update -qq >/dev/null 2>&1 || true
    for package in "${missing[@]}"; do
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$package" >/dev/null 2>&1 ||
            say "could not install $package"
    done
}

build_programs() {
    say "building glyphmill and cellforge (Release) in $BUILD"
    cmake -S "$SOURCE" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
    cmake --build "$BUILD" --target glyphmill cellforge -j "$(nproc)" >/dev/null
    FREETYPE_LOAD=""
    if pkg-config --exists freetype2 2>/dev/null; then
        FREETYPE_LOAD=$BUILD/freetype_load
        cc -O2 -o "$FREETYPE_LOAD" "$SOURCE/bench/freetype_load.c" $(pkg-config --cflags --libs freetype2)
    else
        say "libfreetype-dev missing: no FreeType reference point"
    fi
}

# Unifont as BDF, or the generated stand-in; then the 50 MB repeat of it.
prepare_fonts() {
    mkdir -p "$FONTS"
    local pcf=/usr/share/fonts/X11/misc/unifont.pcf.gz
    if [ ! -s "$FONTS/unifont.bdf" ]; then
        if [ -f "$pcf" ] && command -v pcf2bdf >/dev/null; then
            say "converting $pcf to BDF"
            gzip -dc "$pcf" >"$FONTS/unifont.pcf"
            pcf2bdf -o "$FONTS/unifont.bdf.part" "$FONTS/unifont.pcf"
            rm "$FONTS/unifont.pcf"
            echo "Unifont from xfonts-unifont $(dpkg-query -W -f='${Version}' xfonts-unifont), via pcf2bdf" \
                >"$FONTS/unifont.source"
        else
            say "Unifont not available: generating a font of its size and shape"
            python3 "$SOURCE/bench/make_fonts.py" generate "$FONTS/unifont.bdf.part"
            echo "generated stand-in (bench/make_fonts.py generate)" >"$FONTS/unifont.source"
        fi
        mv "$FONTS/unifont.bdf.part" "$FONTS/unifont.bdf"
        rm -f "$FONTS/unifont-50mb.bdf"
    fi
    if [ ! -s "$FONTS/unifont-50mb.bdf" ]; then
        say "making the 50 MB font"
        python3 "$SOURCE/bench/make_fonts.py" repeat "$FONTS/unifont.bdf" "$FONTS/unifont-50mb.bdf.part" \
            "$LARGE_FONT_BYTES"
        mv "$FONTS/unifont-50mb.bdf.part" "$FONTS/unifont-50mb.bdf"
    fi
}

# The commands timed on each font: "name<TAB>input<TAB>program" lines, where
# input is "file" or "pipe" (the font also piped into standard input). Each
# runs in the scratch directory with the font copied there as font.bdf.
commands() {
    local glyphmill=$BUILD/glyphmill/glyphmill cellforge=$BUILD/cellforge/cellforge
    printf '%s\t%s\t%s\n' \
        "glyphmill" file "$glyphmill font.bdf" \
        "cellforge" file "$cellforge font.bdf" \
        "cellforge, font 2 on a pipe" pipe "$cellforge font.bdf -" \
        "wc -l" file "wc -l font.bdf"
    [ -n "$FREETYPE_LOAD" ] && printf '%s\t%s\t%s\n' "FreeType load" file "$FREETYPE_LOAD font.bdf"
    return 0
}

shell_command() {
    local input=$1 program=$2
    if [ "$input" = pipe ]; then echo "cat font.bdf | $program"; else echo "$program"; fi
}

# "median cpu" seconds of each command, one line each in command order: the
# median wall time, and the mean user + system time (which other load on the
# machine disturbs less).
time_with_hyperfine() {
    local name input program arguments=()
    while IFS=$'\t' read -r name input program; do
        arguments+=(-n "$name" "$(shell_command "$input" "$program")")
    done < <(commands)
    hyperfine --style basic --warmup 1 --runs "$ROUNDS" --export-csv "$SCRATCH/times.csv" \
        "${arguments[@]}" >"$SCRATCH/hyperfine.log" 2>&1
    tail -n +2 "$SCRATCH/times.csv" | awk -F, '{ print $(NF - 4), $(NF - 3) + $(NF - 2) }'  # median, user + system
}

# The same with a plain loop, the commands taking turns round after round;
# it measures wall time only.
time_with_loop() {
    local name input program round index start end
    local -a command_lines
    while IFS=$'\t' read -r name input program; do
        command_lines+=("$(shell_command "$input" "$program")")
    done < <(commands)
    : >"$SCRATCH/loop.times"
    for round in $(seq 0 "$ROUNDS"); do  # round 0 warms up
        for index in "${!command_lines[@]}"; do
            start=$(date +%s%N)
            sh -c "${command_lines[$index]}" >/dev/null
            end=$(date +%s%N)
            [ "$round" -gt 0 ] && echo "$index $((end - start))" >>"$SCRATCH/loop.times"
        done
    done
    for index in "${!command_lines[@]}"; do
        awk -v i="$index" '$1 == i { print $2 / 1e9 }' "$SCRATCH/loop.times" | sort -g |
            awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2, "n/a" }'
    done
}

# Peak resident memory in KiB of the program itself (not of cat or a shell).
peak_memory() {
    local input=$1 program=$2
    [ -x /usr/bin/time ] || { echo n/a; return; }
    sh -c "$(shell_command "$input" "/usr/bin/time -f %M -o $SCRATCH/peak $program")" >/dev/null
    cat "$SCRATCH/peak"
}

benchmark_font() {
    local font=$1 label=$2
    cp "$font" "$SCRATCH/font.bdf"
    cd "$SCRATCH"
    local -a times medians cpu
    if command -v hyperfine >/dev/null; then
        mapfile -t times < <(time_with_hyperfine)
    else
        mapfile -t times < <(time_with_loop)
    fi
    local index
    for index in "${!times[@]}"; do
        read -r "medians[$index]" "cpu[$index]" <<<"${times[$index]}"
    done
    local freetype=0
    [ -n "$FREETYPE_LOAD" ] && freetype=${medians[-1]}
    echo
    printf '%s: %s bytes, %s lines, %s glyphs\n' "$label" "$(stat -c %s font.bdf)" \
        "$(wc -l <font.bdf)" "$(grep -c '^STARTCHAR' font.bdf)"
    printf '  %-30s %10s %12s %10s %10s\n' "command" "median ms" "/ FreeType" "cpu ms" "peak KiB"
    local name input program
    index=0
    while IFS=$'\t' read -r name input program; do
        awk -v name="$name" -v t="${medians[$index]}" -v ft="$freetype" -v cpu="${cpu[$index]}" \
            -v peak="$(peak_memory "$input" "$program")" \
            'BEGIN { printf "  %-30s %10.1f %12s %10s %10s\n", name, t * 1000,
                            (ft > 0 ? sprintf("%.2f", t / ft) : "n/a"),
                            (cpu == "n/a" ? cpu : sprintf("%.1f", cpu * 1000)), peak }'
        index=$((index + 1))
    done < <(commands)
    awk -v pipe="${medians[2]}" -v file="${medians[1]}" \
        'BEGIN { printf "  cellforge, pipe / file: %.2f\n", pipe / file }'
    cd - >/dev/null
    rm -f "$SCRATCH"/*.66 "$SCRATCH/font.bdf"
}

install_missing xfonts-unifont pcf2bdf libfreetype-dev hyperfine time
build_programs
prepare_fonts
echo "Font source: $(cat "$FONTS/unifont.source")"
echo "Timer: $(command -v hyperfine >/dev/null && hyperfine --version || echo 'plain loop'), $ROUNDS rounds, medians"
benchmark_font "$FONTS/unifont.bdf" "Unifont-sized font"
benchmark_font "$FONTS/unifont-50mb.bdf" "50 MB font (Unifont's glyphs repeated)"
