#!/usr/bin/env bash
# Times glyphmill and cellforge on a Unifont-sized font and on a 50 MB font,
# side by side with two reference points on the same file: `wc -l` (reading
# it once) and a full load by FreeType (bench/freetype_load.c). The commands
# take turns round after round (bench/alternate_times.py), so that the load
# of the machine falls on all alike. Prints for each the median wall time
# and CPU time (user + system of the program itself) and their ratios to
# `wc -l`, the instructions it executes under valgrind's callgrind (the
# same on every run) and their ratio to those of `wc -l`, and its peak
# memory; then cellforge with font 2 on a pipe against the same run with
# font 2 a file, the growth from the Unifont-sized font to the 50 MB one, and
# the goals these figures are held to.
#
#   bench/run.sh             15 rounds
#   ROUNDS=31 bench/run.sh   more rounds
#
# Builds in build-bench/ (Release) and caches the fonts in build-bench/fonts/.
# The font is Unifont from Debian's xfonts-unifont, turned into BDF by
# pcf2bdf (both installed when missing and this runs as root); where they
# cannot be had, a generated font of the same size and shape. The programs run
# in a scratch directory, so no image lands in the repository.
set -euo pipefail

ROUNDS=${ROUNDS:-15}
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
    if pkg-config --exists freetype2 2>/dev/null && command -v cc >/dev/null; then
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

# The commands measured on each font: NAME, INPUT ("-", or the file cat
# pipes into standard input) and the program with its arguments, separated
# by tabs. Each runs in the scratch directory, where font.bdf links to the
# font (a copy would still be written back to disk while the programs run).
commands() {
    local glyphmill=$BUILD/glyphmill/glyphmill cellforge=$BUILD/cellforge/cellforge
    printf '%s\t%s\t%s\n' \
        "glyphmill" - "$glyphmill"$'\t'font.bdf \
        "cellforge" - "$cellforge"$'\t'font.bdf \
        "cellforge, font 2 a file" - "$cellforge"$'\t'font.bdf$'\t'font.bdf \
        "cellforge, font 2 on a pipe" font.bdf "$cellforge"$'\t'font.bdf$'\t'- \
        "wc -l" - wc$'\t'-l$'\t'font.bdf
    [ -n "$FREETYPE_LOAD" ] && printf '%s\t%s\t%s\n' "FreeType load" - "$FREETYPE_LOAD"$'\t'font.bdf
    return 0
}

# run_command INPUT PREFIX... -- ARGUMENTS...: the command, its standard
# input piped from INPUT unless that is "-", after the prefix (a measuring
# tool), output discarded.
run_command() {
    local input=$1
    shift
    if [ "$input" = - ]; then "$@" >/dev/null; else cat "$input" | "$@" >/dev/null; fi
}

# Instructions the command executes, as callgrind counts them; n/a without
# valgrind.
instructions() {
    local input=$1
    shift
    command -v valgrind >/dev/null || { echo n/a; return; }
    run_command "$input" valgrind --tool=callgrind --callgrind-out-file=/dev/null --log-file="$SCRATCH/callgrind.log" "$@"
    sed -n 's/.*Collected : *//p' "$SCRATCH/callgrind.log"
}

# Peak resident memory in KiB of the program itself (not of cat).
peak_memory() {
    local input=$1
    shift
    [ -x /usr/bin/time ] || { echo n/a; return; }
    run_command "$input" /usr/bin/time -f %M -o "$SCRATCH/peak" "$@"
    cat "$SCRATCH/peak"
}

# Measures every command on the font and appends to $SCRATCH/results one
# line per command: LABEL, NAME, wall and CPU seconds, instructions, peak
# KiB, separated by tabs.
measure_font() {
    local font=$1 label=$2 name input program times
    local -a argv
    ln -sf "$font" "$SCRATCH/font.bdf"
    cd "$SCRATCH"
    sync
    printf '\n%s: %s bytes, %s lines, %s glyphs\n' "$label" "$(stat -L -c %s font.bdf)" \
        "$(wc -l <font.bdf)" "$(grep -c '^STARTCHAR' font.bdf)"
    commands >commands
    python3 "$SOURCE/bench/alternate_times.py" "$ROUNDS" commands >times
    while IFS=$'\t' read -r name input program; do
        IFS=$'\t' read -r -a argv <<<"$program"
        times=$(awk -F'\t' -v name="$name" -v OFS='\t' '$1 == name { print $2, $3 }' times)
        local count=n/a
        [ "$name" = "FreeType load" ] || count=$(instructions "$input" "${argv[@]}")
        printf '%s\t%s\t%s\t%s\t%s\n' "$label" "$name" "$times" "$count" "$(peak_memory "$input" "${argv[@]}")" \
            >>results
    done <commands
    cd - >/dev/null
    rm -f "$SCRATCH"/*.66 "$SCRATCH/font.bdf"
}

# The table of one font's results, each beside the ratio to `wc -l`.
print_table() {
    awk -F'\t' -v label="$1" '
        $1 == label { n++; name[n] = $2; wall[n] = $3; cpu[n] = $4; ir[n] = $5; peak[n] = $6
                      if ($2 == "wc -l") { wc_wall = $3; wc_cpu = $4; wc_ir = $5 } }
        function ratio(a, b) { return (a == "n/a" || b == "n/a" || b == 0) ? "n/a" : sprintf("%.2f", a / b) }
        function millions(a) { return a == "n/a" ? a : sprintf("%.1f M", a / 1e6) }
        END {
            printf "  %-28s %9s %7s %8s %7s %13s %7s %9s\n", "command", "wall ms", "/ wc", "cpu ms", "/ wc",
                   "instructions", "/ wc", "peak KiB"
            for (i = 1; i <= n; i++)
                printf "  %-28s %9.1f %7s %8.1f %7s %13s %7s %9s\n", name[i], wall[i] * 1000, ratio(wall[i], wc_wall),
                       cpu[i] * 1000, ratio(cpu[i], wc_cpu), millions(ir[i]), ratio(ir[i], wc_ir), peak[i]
        }' "$SCRATCH/results"
}

# One figure of a command on a font from the results: field 3 wall, 4 CPU,
# 5 instructions, 6 peak KiB.
figure() {
    awk -F'\t' -v label="$1" -v name="$2" -v field="$3" '$1 == label && $2 == name { print $field }' "$SCRATCH/results"
}

# The goals, each with its figure and whether the figure meets it.
print_goals() {
    local small=$1 large=$2
    echo
    echo "Goals:"
    awk -F'\t' -v small="$small" -v large="$large" '
        { key = $1 SUBSEP $2; wall[key] = $3; ir[key] = $5; peak[key] = $6 }
        function check(text, value, limit, unit) {
            if (value == "" || value == "n/a") { printf "  %-62s %10s\n", text, "n/a"; return }
            printf "  %-62s %10s  %s\n", text, sprintf("%.2f" unit, value), value <= limit ? "met" : "NOT MET"
        }
        END {
            wc = wall[small, "wc -l"]
            for (p = 1; p <= 2; p++) {
                program = p == 1 ? "glyphmill" : "cellforge"
                check(program " instructions on " small " (at most 60 M)", ir[small, program] / 1e6, 60, " M")
                check(program " wall time / wc -l on " small " (at most 3)", wall[small, program] / wc, 3, "")
                check(program " wall time, " large " / " small " (at most 5.5)",
                      wall[large, program] / wall[small, program], 5.5, "")
            }
            check("cellforge wall time, font 2 on a pipe / a file (at most 1.5)",
                  wall[small, "cellforge, font 2 on a pipe"] / wall[small, "cellforge, font 2 a file"], 1.5, "")
            most = 0
            for (key in peak) { split(key, part, SUBSEP)
                if (part[2] != "wc -l" && part[2] != "FreeType load" && peak[key] > most) most = peak[key] }
            check("peak memory of the converters (under 4 MiB)", most / 1024, 4, " MiB")
        }' "$SCRATCH/results"
}

install_missing xfonts-unifont pcf2bdf libfreetype-dev valgrind time
build_programs
prepare_fonts
echo "Font source: $(cat "$FONTS/unifont.source")"
echo "Timer: bench/alternate_times.py, $ROUNDS rounds taking turns, medians; instructions: $(valgrind --version 2>/dev/null || echo 'no valgrind') callgrind"
small="Unifont-sized font" large="50 MB font"
: >"$SCRATCH/results"
measure_font "$FONTS/unifont.bdf" "$small"
print_table "$small"
measure_font "$FONTS/unifont-50mb.bdf" "$large"
print_table "$large"
print_goals "$small" "$large"
