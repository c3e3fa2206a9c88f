"""Generated fonts on which compare_builds.sh runs two builds.

  compare_fonts.py SAMPLES_DIR OUT_DIR

writes into OUT_DIR fonts that reach every rule of the reading: the sample
fonts with CR LF line ends, renumbered by Unicode, cut off at many places,
shifted so that their lines cross the reader's buffer refills at every
phase, and sprinkled with NUL bytes; lines at and past the 99-character
piece limit; numbers and boxes of every form; registries that change or
are unknown; glyphs wider than the work grid or off it; ENCODING lines
among a glyph's own lines; more matching ENCODING lines than the glyph
record holds; and random bytes and random keyword soup, the hostile fonts of the tests, and a
folder in place of a font. Every font is the
same on every run.
"""
import os
import random
import sys

BUFFER = 256 * 1024
NICHI = 0x467C          # a kanji of the kanji ROM and a first-set character (JIS)
NICHI_UNICODE = 0x65E5
SET_CODES = [0x2330, 0x2331, 0x2341, 0x2361, 0x2127, 0x2369, 0x2B30, 0x2421, 0x2650, 0x2835]
KANJI = [0x3026, 0x302D, 0x3035, 0x3042, 0x4B7C, 0x3662, 0x3250]


def glyph(code, bbx="16 16 0 -2", rows=None, before_box=""):
    rows = ["FFFF"] * 16 if rows is None else rows
    return ("STARTCHAR glyph\nENCODING %s\n%sBBX %s\nBITMAP\n%sENDCHAR\n"
            % (code, before_box, bbx, "".join(r + "\n" for r in rows)))


def font(glyphs, registry='"JISX0208.1990"', ascent=14, descent=2, properties=""):
    return ("STARTFONT 2.1\nFONT generated\nSTARTPROPERTIES 3\nFONT_ASCENT %s\nFONT_DESCENT %s\n"
            "CHARSET_REGISTRY %s\n%sENDPROPERTIES\nCHARS %d\n%sENDFONT\n"
            % (ascent, descent, registry, properties, len(glyphs), "".join(glyphs)))


def dot_rows(seed, width_digits=4, count=16):
    rng = random.Random(seed)
    return ["%0*X" % (width_digits, rng.getrandbits(4 * width_digits)) for _ in range(count)]


def to_unicode(text):
    """A JIS font renumbered by Unicode through the EUC-JP decoder."""
    out = []
    for line in text.split("\n"):
        if line.startswith("ENCODING "):
            code = int(line.split()[1])
            try:
                line = "ENCODING %d" % ord(bytes([0x80 | code >> 8, 0x80 | code & 0xFF]).decode("euc_jp"))
            except (UnicodeDecodeError, TypeError, ValueError):
                line = "ENCODING -1"
        elif line.startswith("CHARSET_REGISTRY"):
            line = 'CHARSET_REGISTRY "ISO10646"'
        out.append(line)
    return "\n".join(out)


def padded(text, length):
    """text after comment lines of exactly length bytes."""
    lines = []
    while length > 0:
        size = min(length, 80)
        if length - size in range(1, 9):
            size = length - 9
        lines.append("COMMENT " + "p" * (size - 9) + "\n" if size >= 9 else "\n" * size)
        length -= size
    return "".join(lines) + text


def sample_variants(sample):
    yield "crlf", sample.replace("\n", "\r\n")
    yield "unicode", to_unicode(sample)
    rng = random.Random(3)
    for i, cut in enumerate(sorted(rng.sample(range(len(sample)), 24)) + [sample.index("ENCODING") + 9]):
        yield "cut%02d" % i, sample[:cut]
    for shift in [1, 2, 3, 5, 8, 13, 21, 50, 97, 98, 99, 100, 101, 150, 4093, 65536 - 7]:
        yield "shift%d" % shift, padded(sample, shift)
    for seed in range(4):
        rng = random.Random(seed)
        chars = list(sample)
        for position in rng.sample(range(len(chars)), 40):
            chars[position] = "\0"
        yield "nul%d" % seed, "".join(chars)


def long_line_glyphs():
    """Lines at and beyond 99 characters; keywords at the start of later pieces."""
    x = "x" * 99
    return [
        "COMMENT " + "c" * 90 + "\n" + glyph(NICHI),
        x + "ENCODING %d\nBBX 16 16 0 -2\nBITMAP\n" % SET_CODES[0] + "FFFF\n" * 16 + "ENDCHAR\n",
        "y" * 98 + "\r\nENCODING %d\nBBX 8 10 0 -2\nBITMAP\n" % SET_CODES[1] + "F0\n" * 10 + "ENDCHAR\n",
        "z" * 98 + "\rENCODING %d\nBBX 8 10 0 -2\nBITMAP\nFF\nENDCHAR\n" % SET_CODES[2],
        "w" * 97 + "\r\r\n" + glyph(SET_CODES[3], "8 10 0 -2", ["AA"] * 10),
        x + x + "BBX 12 12 0 -2\n" + glyph(KANJI[0], "16 16 0 -2", dot_rows(1)),
        "ENCODING " + "0" * 95 + "%d\n" % KANJI[1] + "BBX 16 16 0 -2\nBITMAP\n" + "8001\n" * 16 + "ENDCHAR\n",
        glyph(KANJI[2], "16 16 0 " + " " * 90 + "-2", dot_rows(2)),
        glyph(KANJI[3], rows=[("0" * 96 + "FFFF")] * 16),
        glyph(KANJI[4], rows=["F" * 99 + "0" * 101] * 16),
        x[:98] + "\n" + x + "\n" + x + "x\n" + glyph(KANJI[5], rows=dot_rows(3)),
        "ENCODING %d" % KANJI[6] + " " * 120 + "\nBBX 16 16 0 -2\nBITMAP\n" + "F00F\n" * 16 + "ENDCHAR\n",
    ]


def number_glyphs():
    forms = ["%d", "+%d", "00%d", "  %d", "\t%d", "%d ", "%d 5", "%d\r", "%d\r\r", "%dx", "-%d"]
    glyphs = [glyph(f % code if "%" in f else code, rows=dot_rows(code)) for f, code in
              zip(forms, SET_CODES + KANJI)]
    glyphs.append("ENCODING%d\nBBX 8 10 0 -2\nBITMAP\n" % SET_CODES[5] + "C3\n" * 10 + "ENDCHAR\n")
    boxes = ["8 10 0 -2", "8 10 0 -2 7", "8 10  0 -2", "8 10 0 -2\r", "8", "", " 8 10 0 -2", "8 10 +0 -2",
             "8 10 0 -02", "1234567890 10 0 -2", "8 10 0 999999999", "8 10 0 -999999999", "9 10 0 -2"]
    for i, box in enumerate(boxes):
        glyphs.append(glyph(SET_CODES[i % len(SET_CODES)] + 256 * (i // len(SET_CODES)), box, ["FF"] * 10))
    glyphs.append(glyph("4294967296", rows=["FFFF"] * 16))
    glyphs.append(glyph("99999999999999999999", rows=["FFFF"] * 16))
    glyphs.append(glyph("0", "8 10 0 -2", ["FF"] * 10))
    return glyphs


def raster_glyphs(codes):
    glyphs = []
    widths = [0, 1, 7, 8, 9, 15, 16, 17, 63, 64, 65, 80, 296]
    offsets = [-70, -64, -63, -8, -1, 0, 1, 7, 63, 64]
    for i, code in enumerate(codes):
        width = widths[i % len(widths)]
        digits = max(2, (width + 7) // 8 * 2)
        rows = dot_rows(i, digits, 1 + i % 20)
        if i % 7 == 3:
            rows = ["-" + rows[0]] + ["0x" + r for r in rows[1:]]
        glyphs.append(glyph(code, "%d %d %d %d" % (width, 1 + i % 20, offsets[i % len(offsets)], i % 5 - 2), rows))
    return glyphs


def glyphs_with_inner_encodings():
    glyphs = []
    for i, code in enumerate(KANJI + SET_CODES):
        inner = KANJI[(i + 1) % len(KANJI)]
        rows = dot_rows(i)[:8] + ["ENCODING %d" % inner] + dot_rows(i + 50)[:7]
        glyphs.append(glyph(code, rows=rows, before_box="ENCODING %d\n" % SET_CODES[i % len(SET_CODES)]))
    return glyphs


def over_the_record(count, first_codes, later_codes):
    """count glyphs of first_codes, cycled, then glyphs of later_codes."""
    glyphs = [glyph(first_codes[i % len(first_codes)], rows=dot_rows(i)[:1] + ["0000"] * 15) for i in range(count)]
    glyphs += glyphs_with_inner_encodings()
    return glyphs + [glyph(code, rows=dot_rows(code)) for code in later_codes]


def hostile_fonts():
    """Numbers past 32 bits, extreme boxes and rows, as the hostile-input test has them."""
    forty = "1234567890" * 4
    solid = glyph(NICHI)
    yield "ascent_forty_digits", font([solid], ascent=forty)
    yield "ascent_past_32_bits", font([solid], ascent="4294967310")
    yield "ascent_negative_forty_digits", font([solid], ascent="-" + forty)
    yield "descent_forty_digits", font([solid], descent=forty)
    yield "descent_past_32_bits", font([solid], descent="4294967298")
    yield "ascent_and_descent_at_the_limit", font([solid], ascent="2147483647", descent="2147483647")
    for name, code in [("forty_digits", forty), ("past_32_bits", "4294985340"), ("negative", "-4294949252")]:
        yield "encoding_" + name, font([glyph(code)])
    boxes = [forty + " 16 0 -2", "4294967312 16 0 -2", "16 " + forty + " 0 -2", "16 4294967312 0 -2",
             "16 16 " + forty + " -2", "16 16 4294967296 -2", "16 16 0 " + forty, "16 16 0 4294967294",
             "2147483647 2147483647 2147483647 2147483647", "-2147483648 16 0 -2", "16 -2147483648 0 -2",
             "16 16 -2147483648 -2", "16 16 0 -2147483648"]
    for i, box in enumerate(boxes):
        yield "box%02d" % i, font([glyph(NICHI, box)])
    yield "box_height_of_a_million", font([glyph(NICHI, "16 1000000 0 -2", ["FFFF"] * 3)])
    yield "rows_of_17_to_98_digits", font([glyph(NICHI, rows=["0" * (13 + r * 81 // 15) + "8001" for r in range(16)])])
    yield "row_of_200_digits", font([glyph(NICHI, "16 1 0 -2", ["F" * 99 + "0" * 101])])
    yield "glyph_296_dots_wide", font([glyph(NICHI, "296 16 0 -2", ["8" + "0" * 73] * 16)])
    yield "rows_not_hex", font([glyph(NICHI, rows=["xyz", "G", "-", "+", "0x", "0xg", "--1", "#FFFF", "", " ", "\t",
                                                   "~", "0X", "-+F", "x0", "."])])
    yield "nul_after_keywords", ("FONT_ASCENT 14\0 99\nFONT_DESCENT 2\0x\nCHARSET_REGISTRY \"JISX0208\"\0\"KOI8\"\n"
                                 "ENCODING %d\0 5\nBBX 16 16 0 -2\0 9\nBITMAP\0\nFFFF\nFFFF\n" % NICHI)
    yield "nul_inside_keyword", font([solid]).replace("FONT_ASCENT", "FONT_\0ASCENT")
    yield "cut_in_a_row", font([solid])[:-60]


def soup(seed):
    rng = random.Random(seed)
    words = ["ENCODING", "ENCODING ", "BBX ", "BBX", "BITMAP", "ENDCHAR", "STARTCHAR", "FONT_ASCENT ", "FONT_DESCENT ",
             'CHARSET_REGISTRY "JISX0208"', 'CHARSET_REGISTRY "ISO10646"', 'CHARSET_REGISTRY "KOI8"', "18044",
             "9008", "65296", "-2", "16", "8", "0", "FFFF", "F0", " ", "  ", "\t", "\r", "\n", "\r\n", "\0", "x" * 60]
    parts = ["FONT_ASCENT 14\nFONT_DESCENT 2\n" if seed % 2 else "", 'CHARSET_REGISTRY "JISX0208"\n' if seed % 3 else ""]
    for _ in range(3000):
        parts.append(rng.choice(words))
        if rng.random() < 0.3:
            parts.append("\n")
    return "".join(parts)


def generated_fonts(samples):
    twelve = open(os.path.join(samples, "shinonome-12-gothic.bdf"), encoding="latin-1").read()
    for name, text in sample_variants(twelve):
        yield "shinonome12_" + name, text
    sixteen = open(os.path.join(samples, "shinonome-16-gothic.bdf"), encoding="latin-1").read()
    yield "shinonome16_crlf", sixteen.replace("\n", "\r\n")
    yield "shinonome16_unicode", to_unicode(sixteen)
    yield "long_lines", font(long_line_glyphs())
    yield "long_lines_crlf", font(long_line_glyphs()).replace("\n", "\r\n")
    yield "numbers", font(number_glyphs())
    yield "numbers_unicode", font(number_glyphs(), '"ISO10646"')
    yield "raster_jis", font(raster_glyphs(SET_CODES + KANJI + [NICHI] + [0x2361, 0x2127, 0x2375]), ascent=10)
    yield "raster_unicode", font(raster_glyphs([0xFF41, 0xFF1A, 0xFF49, 0xFF10, 0xFF11, 0x2019, NICHI_UNICODE, 0x65E5]),
                                 '"ISO10646"', 12, 4)
    yield "inner_encodings", font(glyphs_with_inner_encodings())
    yield "registry_unknown", font([glyph(c) for c in SET_CODES], '"ISO8859"')
    yield "registry_jis_then_unknown", font([glyph(c) for c in SET_CODES], '"JISX0208"',
                                            properties='CHARSET_REGISTRY "KOI8"\n')
    yield "registry_unknown_then_unicode", font([glyph(c) for c in [0x30, 0x41, NICHI_UNICODE]], '"ISO8859"',
                                                properties='CHARSET_REGISTRY "ISO10646"\n')
    yield "registry_switch_with_long_dash", font(
        [glyph(11834, "48 16 0 -2"), glyph(NICHI), "CHARSET_REGISTRY \"ISO10646\"\n", glyph(11835, "64 16 -8 -2"),
         glyph(NICHI_UNICODE, "8 16 0 -2"), 'CHARSET_REGISTRY "JISX0213.2004"\n', glyph(11834, "40 16 0 -2")])
    yield "registry_without_token", font([glyph(NICHI)], "  ")
    yield "flood_of_encodings", font(["ENCODING %d\n" % NICHI] * 2000000 + [glyph(NICHI)])
    yield "over_the_record_jis", font(over_the_record(9000, [NICHI, SET_CODES[0], KANJI[0]], KANJI + SET_CODES))
    yield "over_the_record_unicode", font(over_the_record(8195, [NICHI_UNICODE, 0xFF10, 0x41], [0x4E00, 0xFF41, 0x31]),
                                          '"ISO10646"')
    yield "just_under_the_record", font(over_the_record(8192 - len(glyphs_with_inner_encodings()) // 2,
                                                        [KANJI[1], KANJI[2]], [NICHI]))
    yield from hostile_fonts()
    yield "line_of_ten_megabytes", font([glyph(NICHI)]) + "x" * (10 << 20)
    yield "only_newlines", "\n" * 300000
    yield "empty", ""
    yield "random_bytes", bytes(random.Random(9).getrandbits(8) for _ in range(1 << 16)).decode("latin-1")
    for seed in range(24):
        yield "soup%02d" % seed, soup(seed)


def main(args):
    if len(args) != 2:
        sys.exit(__doc__)
    os.makedirs(os.path.join(args[1], "directory_as_font"), exist_ok=True)
    for name, text in generated_fonts(args[0]):
        with open(os.path.join(args[1], name + ".bdf"), "w", encoding="latin-1", newline="") as out:
            out.write(text)


if __name__ == "__main__":
    main(sys.argv[1:])
