#!/usr/bin/env bash
# Runs the Windows glyphmill.exe, cellforge.exe and fontprep.exe under Wine
# on a set of fonts and checks that every run ends as the Linux build's run
# does: the same files in the working folder with the same bytes, the same
# messages and the same exit status. fontprep's fonts are compared, and the
# images the converters make from them.
#
#   tests/wine_e2e.sh [LINUX_BUILD_DIR [WINDOWS_BUILD_DIR]]
#
# Defaults: build (cmake --workflow --preset test) and build-mingw
# (cmake --workflow --preset mingw). Without Wine it says so and exits 0;
# without a Linux fontprep (FreeType missing) it says so and skips its cases.
#
# A Windows console program ends its lines with CR LF when its standard
# output is not a console; messages are compared with the CRs removed, a
# font written to standard output byte for byte.
set -euo pipefail
cd "$(dirname "$0")/.."
linux_build=$(realpath "${1:-build}")
windows_build=$(realpath "${2:-build-mingw}")

if ! command -v wine >/dev/null; then
    echo "wine_e2e: skipped: wine is not installed (Debian: apt-get install wine wine64)"
    exit 0
fi
programs=(glyphmill cellforge)
if [[ -x $linux_build/fontprep/fontprep ]]; then
    programs+=(fontprep)
else
    echo "wine_e2e: fontprep cases skipped: $linux_build has no fontprep (it needs FreeType; Debian: libfreetype-dev)"
fi
for program in "${programs[@]}"; do
    for binary in "$linux_build/$program/$program" "$windows_build/$program/$program.exe"; do
        if [[ ! -x $binary ]]; then
            echo "wine_e2e: $binary is missing: build it first"
            exit 1
        fi
    done
done

work=$(mktemp -d)
export WINEPREFIX=$work/wineprefix
export WINEDEBUG=-all
# No prompts to install Mono or Gecko into the fresh prefix.
export WINEDLLOVERRIDES="mscoree=;mshtml="
cleanup() {
    wineserver -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# ---------------------------------------------------------------- fonts
fonts=$work/fonts
mkdir -p "$fonts"
cp samples/shinonome-12-gothic.bdf "$fonts/jis12.bdf"
cp samples/shinonome-16-gothic.bdf "$fonts/jis16.bdf"
sed 's/$/\r/' "$fonts/jis12.bdf" >"$fonts/jis12-crlf.bdf"
sed 's/$/\r/' "$fonts/jis16.bdf" >"$fonts/jis16-crlf.bdf"
# fontprep's: PCF plain, gzip-compressed and cut short, and TrueType.
cp samples/shinonome-16-subset.pcf.gz "$fonts/jis16.pcf.gz"
gzip -dc "$fonts/jis16.pcf.gz" >"$fonts/jis16.pcf"
head -c 3000 "$fonts/jis16.pcf" >"$fonts/cut.pcf"
cp fuzz/corpus/fontprep/big_traced_glyf.ttf "$fonts/traced.ttf"

python3 - "$fonts" <<'PYTHON'
import pathlib
import sys

fonts = pathlib.Path(sys.argv[1])


def unicode_copy(source, target):
    """The same glyphs numbered by Unicode code point instead of JIS code."""
    lines = []
    for line in (fonts / source).read_text(encoding="ascii").splitlines():
        if line.startswith("CHARSET_REGISTRY"):
            line = 'CHARSET_REGISTRY "ISO10646"'
        elif line.startswith("ENCODING "):
            jis = int(line.split()[1])
            euc = bytes([(jis >> 8) | 0x80, (jis & 0xFF) | 0x80]) if 0x2121 <= jis <= 0x7E7E else b""
            try:
                line = "ENCODING %d" % ord(euc.decode("euc_jp"))
            except (UnicodeDecodeError, TypeError):
                line = "ENCODING -1"
        lines.append(line)
    (fonts / target).write_text("\n".join(lines) + "\n", encoding="ascii")


def glyph(encoding, width, height, rows):
    hex_digits = (width + 7) // 8 * 2
    text = ["STARTCHAR g%d" % encoding, "ENCODING %d" % encoding, "SWIDTH 1000 0",
            "DWIDTH %d 0" % width, "BBX %d %d 0 -2" % (width, height), "BITMAP"]
    text += [row if isinstance(row, str) else "%0*X" % (hex_digits, row) for row in rows]
    return text + ["ENDCHAR"]


def header(registry, ascent=8, descent=2):
    return ["STARTFONT 2.1", "FONT edge", "SIZE 10 75 75", "FONTBOUNDINGBOX 8 10 0 -2",
            "STARTPROPERTIES 3", "FONT_ASCENT %d" % ascent, "FONT_DESCENT %d" % descent,
            'CHARSET_REGISTRY "%s"' % registry, "ENDPROPERTIES"]


def write(name, lines, end="\n"):
    (fonts / name).write_bytes((end.join(lines) + end).encode("latin-1"))


# Lines at the 99-character piece limit, a Ctrl-Z (end of file to a text
# mode reader), a lone CR, glyphs used several times (seek back) and a
# kanji glyph, all with CR LF line ends.
edge = header("JISX0208.1983")
edge += ["COMMENT " + "x" * n for n in (89, 90, 91, 92, 180)]
edge += ["COMMENT control-Z \x1a here", "COMMENT lone CR \r here", "CHARS 6"]
edge += glyph(0x2121, 8, 10, [0x81] * 10)                         # full-width space, many cells
edge += glyph(0x2330, 8, 10, [0x3C, 0x42, 0x46, 0x4A, 0x52, 0x62, 0x42, 0x3C, 0, 0])
edge += glyph(0x2331, 8, 10, ["0" * 96 + "18", 0x38, 0x18, 0x18, 0x18, 0x18, 0x18, 0x7E])
edge += glyph(0x2127, 8, 10, [0, 0x18, 0x18, 0, 0, 0x18, 0x18, 0, 0, 0])
edge += glyph(0x3026, 16, 16, [0xFFFF, 0x8001, 0xC003, 0xA005, 0x9009, 0x8811, 0x8421, 0x8241])
edge += glyph(0x2225, 8, 10, [0x10, 0x38, 0x7C, 0xFE, "ENDCHAR early"])
edge += ["ENDFONT"]
write("edge-crlf.bdf", edge, "\r\n")

write("illegal.bdf", [l for l in header("JISX0208.1983") if not l.startswith("FONT_DESCENT")]
      + glyph(0x3026, 16, 16, [0xFFFF] * 16))
write("unknown-registry.bdf", header("KSC5601.1987") + glyph(65, 8, 10, [0xFF] * 10))

unicode_copy("jis12.bdf", "unicode12.bdf")
unicode_copy("jis16.bdf", "unicode16.bdf")
PYTHON

# ---------------------------------------------------------------- cases
# name | exit status | what is there first | standard input | command line
# Fonts are named from the working folder as ../fonts/NAME.
# What is there first: "-", "old-images" (earlier images in place),
# "image-is-folder" (a folder named KANJIROM.66), "font-named:NAME" (a
# Unicode font under an image's name).
# Standard input: "-" (nothing), "file:FONT" (redirected), "pipe:FONT".
# A command line "A && B" runs B in the same folder once A succeeded;
# standard input goes to A.
cases=(
    "glyphmill_jis_sample|0|-|-|glyphmill ../fonts/jis16.bdf"
    "glyphmill_jis_sample_crlf|0|-|-|glyphmill ../fonts/jis16-crlf.bdf"
    "glyphmill_unicode_font|0|-|-|glyphmill ../fonts/unicode16.bdf"
    "glyphmill_edge_font|0|-|-|glyphmill ../fonts/edge-crlf.bdf"
    "glyphmill_font_from_redirected_stdin|0|-|file:jis16-crlf.bdf|glyphmill -"
    "glyphmill_font_through_pipe|0|-|pipe:jis16-crlf.bdf|glyphmill -"
    "glyphmill_replaces_earlier_image|0|old-images|-|glyphmill ../fonts/jis16.bdf"
    "cellforge_jis_sample|0|-|-|cellforge ../fonts/jis12.bdf"
    "cellforge_jis_sample_crlf|0|-|-|cellforge ../fonts/jis12-crlf.bdf"
    "cellforge_unicode_font|0|-|-|cellforge ../fonts/unicode12.bdf"
    "cellforge_edge_font|0|-|-|cellforge ../fonts/edge-crlf.bdf"
    "cellforge_two_fonts|0|-|-|cellforge ../fonts/jis12.bdf ../fonts/unicode16.bdf"
    "cellforge_font_2_from_redirected_stdin|0|-|file:jis16-crlf.bdf|cellforge ../fonts/jis12.bdf -"
    "cellforge_font_2_through_pipe|0|-|pipe:jis16-crlf.bdf|cellforge ../fonts/jis12.bdf -"
    "cellforge_font_2_edge_through_pipe|0|-|pipe:edge-crlf.bdf|cellforge ../fonts/unicode12.bdf -"
    "cellforge_ascii_two_fonts|0|-|-|cellforge -ascii ../fonts/jis12.bdf ../fonts/jis16-crlf.bdf"
    "cellforge_ascii_twice_unknown_registry_font_2|1|old-images|-|cellforge -ascii -ascii ../fonts/edge-crlf.bdf ../fonts/unknown-registry.bdf"
    "cellforge_font_named_like_first_image|0|font-named:CGROM60.66|-|cellforge CGROM60.66"
    "cellforge_font_named_like_second_image|0|font-named:CGROM66.66|-|cellforge CGROM66.66"
    "cellforge_font_1_named_like_second_image|0|font-named:CGROM66.66|-|cellforge CGROM66.66 ../fonts/jis12.bdf"
    "cellforge_font_2_named_like_first_image|0|font-named:CGROM60.66|-|cellforge ../fonts/jis12.bdf CGROM60.66"
    "cellforge_font_2_named_like_second_image|0|font-named:CGROM66.66|-|cellforge ../fonts/jis12.bdf CGROM66.66"
    "glyphmill_font_named_like_its_image|0|font-named:KANJIROM.66|-|glyphmill KANJIROM.66"
    "glyphmill_usage|1|-|-|glyphmill"
    "glyphmill_missing_font|1|old-images|-|glyphmill ../fonts/missing.bdf"
    "glyphmill_folder_as_font|1|-|-|glyphmill ../fonts"
    "glyphmill_illegal_bdf|1|old-images|-|glyphmill ../fonts/illegal.bdf"
    "glyphmill_unknown_registry|1|-|-|glyphmill ../fonts/unknown-registry.bdf"
    "glyphmill_empty_pipe|1|-|pipe:/dev/null|glyphmill -"
    "glyphmill_image_name_is_a_folder|1|image-is-folder|-|glyphmill ../fonts/jis16.bdf"
    "cellforge_usage_unknown_option|1|-|-|cellforge -x ../fonts/jis12.bdf"
    "cellforge_usage_no_font|1|-|-|cellforge -ascii"
    "cellforge_missing_font_2|1|old-images|-|cellforge ../fonts/jis12.bdf ../fonts/missing.bdf"
    "cellforge_illegal_bdf|1|-|-|cellforge ../fonts/illegal.bdf"
    "cellforge_illegal_font_2_through_pipe|1|old-images|pipe:illegal.bdf|cellforge ../fonts/jis12.bdf -"
    "cellforge_unknown_registry|1|-|-|cellforge ../fonts/unknown-registry.bdf"
    "fontprep_pcf|0|-|-|fontprep -o font.bdf ../fonts/jis16.pcf && glyphmill font.bdf && cellforge font.bdf"
    "fontprep_gzip_pcf|0|-|-|fontprep -o font.bdf ../fonts/jis16.pcf.gz && glyphmill font.bdf && cellforge font.bdf"
    "fontprep_gzip_pcf_through_pipe|0|-|pipe:jis16.pcf.gz|fontprep -o font.bdf -"
    "fontprep_font_to_standard_output|0|-|-|fontprep ../fonts/jis16.pcf.gz"
    "fontprep_ttf|0|-|-|fontprep -o font.bdf ../fonts/traced.ttf && glyphmill font.bdf && cellforge font.bdf"
    "fontprep_ttf_at_12_pixels|0|-|-|fontprep -s 12 -o font.bdf ../fonts/traced.ttf && cellforge font.bdf"
    "fontprep_merge_pcf_and_ttf|0|-|-|fontprep -n unicode -o font.bdf ../fonts/jis16.pcf.gz ../fonts/traced.ttf && glyphmill font.bdf && cellforge font.bdf"
    "fontprep_merge_pixel_sizes_differ|1|-|-|fontprep -o font.bdf ../fonts/jis16.pcf ../fonts/jis12.bdf"
    "fontprep_cut_pcf|1|-|-|fontprep -o font.bdf ../fonts/cut.pcf"
)
if [[ ! " ${programs[*]} " =~ " fontprep " ]]; then
    for index in "${!cases[@]}"; do
        [[ ${cases[index]} == fontprep_* ]] && unset "cases[index]"
    done
fi

prepare() {  # what is there first, in the working folder
    case $1 in
    -) ;;
    old-images) for image in KANJIROM.66 CGROM60.66 CGROM66.66; do echo "earlier $image" >$image; done ;;
    image-is-folder) mkdir KANJIROM.66 ;;
    font-named:*) cp "$fonts/unicode16.bdf" "${1#font-named:}" ;;
    *) echo "wine_e2e: unknown set-up $1"; exit 1 ;;
    esac
}

# run_program SIDE STDIN PROGRAM ARGUMENTS...: runs one program of the side's
# build.
run_program() {
    local side=$1 input=$2 program=$3
    shift 3
    local command=("$linux_build/$program/$program")
    [[ $side == windows ]] && command=(wine "$windows_build/$program/$program.exe")
    case $input in
    -) "${command[@]}" "$@" </dev/null ;;
    file:*) "${command[@]}" "$@" <"$fonts/${input#file:}" ;;
    pipe:/*) cat "${input#pipe:}" | "${command[@]}" "$@" ;;
    pipe:*) cat "$fonts/${input#pipe:}" | "${command[@]}" "$@" ;;
    esac
}

# run_case SIDE NAME SET-UP STDIN COMMAND-LINE: runs the commands of the
# command line in a fresh working folder $work/SIDE/NAME while they succeed;
# writes their standard output, standard error and the last exit status
# beside the folder.
run_case() {
    local side=$1 name=$2 setup=$3 input=$4 steps step words status
    readarray -t steps <<<"${5// && /$'\n'}"
    local folder=$work/$side/$name
    mkdir -p "$folder"
    (
        cd "$folder"
        prepare "$setup"
        set +e
        for step in "${steps[@]}"; do
            read -ra words <<<"$step"
            run_program "$side" "$input" "${words[@]}"
            status=$?
            ((status == 0)) || break
            input=-
        done
        echo "$status" >"$folder.status"
    ) >"$folder.stdout" 2>"$folder.stderr"
}

# Whether a case's Windows output, less the CRs of message lines, is the
# Linux one: a font on standard output must match byte for byte.
same_output() {
    local linux=$1 windows=$2
    if [[ $(head -c 9 "$linux") == STARTFONT ]]; then cmp -s "$linux" "$windows"
    else cmp -s "$linux" <(tr -d '\r' <"$windows"); fi
}

# Files of a working folder: name, kind and bytes.
describe_folder() {
    local entry
    (cd "$1" && for entry in $(ls -A); do
        if [[ -f $entry ]]; then echo "$entry $(sha256sum <"$entry" | cut -c1-16) $(wc -c <"$entry") bytes"
        else echo "$entry (folder)"; fi
    done)
}

# Prints the first differing cells (16 bytes each) of two images.
show_image_difference() {
    { cmp -l "$1" "$2" 2>&1 || true; } | head -8 | while read -r offset linux_byte windows_byte; do
        if [[ $offset == cmp:* ]]; then echo "  $offset $linux_byte $windows_byte"; continue; fi
        printf '  byte %d (cell %d row %d): linux %s windows %s (octal)\n' $((offset - 1)) \
            $(((offset - 1) / 16)) $(((offset - 1) % 16)) "$linux_byte" "$windows_byte"
    done
}

# The first line in which two fonts differ, line ends shown ($, ^M$ for CR LF).
show_difference() {
    local line
    line=$({ cmp "$1" "$2" 2>&1 || true; } | grep -o 'line [0-9]*' | cut -d' ' -f2)
    [[ -n $line ]] || return 0
    echo "  line $line, linux:   $(sed -n "${line}p" "$1" | cat -A)"
    echo "  line $line, windows: $(sed -n "${line}p" "$2" | cat -A)"
}

# Both sides' working folders see the fonts as ../fonts.
mkdir -p "$work/linux" "$work/windows"
ln -s ../fonts "$work/linux/fonts"
ln -s ../fonts "$work/windows/fonts"

# The prefix is made once, before the first run is timed by anyone.
wine cmd /c exit </dev/null >/dev/null 2>&1 || true
wineserver -p 60 2>/dev/null || true

passed=0
failed=0
crlf_output=0
for entry in "${cases[@]}"; do
    IFS='|' read -r name expected setup input command_line <<<"$entry"
    run_case linux "$name" "$setup" "$input" "$command_line"
    run_case windows "$name" "$setup" "$input" "$command_line"

    problems=()
    linux_status=$(cat "$work/linux/$name.status")
    windows_status=$(cat "$work/windows/$name.status")
    [[ $linux_status == "$expected" ]] || problems+=("linux build exits $linux_status, not $expected")
    [[ $windows_status == "$linux_status" ]] || problems+=("exit status: linux $linux_status, windows $windows_status")
    grep -q $'\r' "$work/windows/$name.stdout" && crlf_output=$((crlf_output + 1))
    if ! same_output "$work/linux/$name.stdout" "$work/windows/$name.stdout"; then
        if [[ $(head -c 9 "$work/linux/$name.stdout") == STARTFONT ]]; then
            problems+=("font on standard output:"
                "$(show_difference "$work/linux/$name.stdout" "$work/windows/$name.stdout")")
        else
            problems+=("message: linux '$(cat "$work/linux/$name.stdout")', windows '$(tr -d '\r' <"$work/windows/$name.stdout")'")
        fi
    fi
    if ! same_output "$work/linux/$name.stderr" "$work/windows/$name.stderr"; then
        problems+=("standard error: linux '$(cat "$work/linux/$name.stderr")', windows '$(tr -d '\r' <"$work/windows/$name.stderr")'")
    fi
    if ! diff <(describe_folder "$work/linux/$name") <(describe_folder "$work/windows/$name") >"$work/$name.diff"; then
        problems+=("files differ (< linux, > windows):" "$(sed 's/^/  /' "$work/$name.diff")")
        for image in KANJIROM.66 CGROM60.66 CGROM66.66; do
            if [[ -f $work/linux/$name/$image && -f $work/windows/$name/$image ]] &&
                ! cmp -s "$work/linux/$name/$image" "$work/windows/$name/$image"; then
                problems+=("$image:" "$(show_image_difference "$work/linux/$name/$image" "$work/windows/$name/$image")")
            fi
        done
        if [[ -f $work/linux/$name/font.bdf && -f $work/windows/$name/font.bdf ]] &&
            ! cmp -s "$work/linux/$name/font.bdf" "$work/windows/$name/font.bdf"; then
            problems+=("font.bdf:"
                "$(show_difference "$work/linux/$name/font.bdf" "$work/windows/$name/font.bdf")")
        fi
    fi

    if ((${#problems[@]} == 0)); then
        passed=$((passed + 1))
        echo "ok      $name"
    else
        failed=$((failed + 1))
        echo "FAILED  $name ($command_line)"
        printf '%s\n' "${problems[@]}" | sed 's/^/    /'
    fi
done

# The spool file of a piped font is deleted when closed: none may be left.
leftovers=$(find "$WINEPREFIX/drive_c/users" -ipath '*/temp/*' -type f 2>/dev/null | head -5 || true)
if [[ -n $leftovers ]]; then
    failed=$((failed + 1))
    echo "FAILED  temporary files left in the Windows temporary folder:"
    echo "$leftovers" | sed 's/^/    /'
else
    passed=$((passed + 1))
    echo "ok      no_temporary_file_left_in_windows_temp"
fi

echo "wine_e2e: $crlf_output of ${#cases[@]} Windows runs ended their message lines with CR LF (compared without the CR)"
echo "wine_e2e: $passed passed, $failed failed"
((failed == 0))
