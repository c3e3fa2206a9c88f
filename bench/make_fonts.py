"""Fonts for the benchmark.

  make_fonts.py generate OUT.bdf
      A font of Unifont's size and shape, for machines where the real one
      cannot be installed: ISO10646, every code point of the BMP but the
      surrogates and the private use area (57,086 glyphs), 8 or 16 dots wide
      and 16 high, one blank line after each glyph; about 9.4 MB in
      1.37 million lines. The bitmaps are pseudo-random but the same on
      every run.

  make_fonts.py repeat IN.bdf OUT.bdf BYTES
      IN's glyphs repeated until OUT is as large as it can be without passing
      BYTES. The first copy keeps its encodings; every further copy is shifted
      to a plane of its own above the last code point any code table uses
      (0x1F6E7), so the repeats are new glyphs that no table asks for and the
      images stay those of IN. CHARS is set to the new glyph count.
"""
import itertools
import random
import re
import sys

HEADER = """STARTFONT 2.1
FONT -bench-Generated-Medium-R-Normal-Sans-16-160-75-75-c-80-iso10646-1
SIZE 16 75 75
FONTBOUNDINGBOX 16 16 0 -2
STARTPROPERTIES 8
COPYRIGHT "Generated for the benchmark: pseudo-random bitmaps of a Unifont-sized font, no real glyph shapes, free of rights"
FONT_VERSION "1.0"
PIXEL_SIZE 16
CHARSET_REGISTRY "ISO10646"
CHARSET_ENCODING "1"
DEFAULT_CHAR 65533
FONT_DESCENT 2
FONT_ASCENT 14
ENDPROPERTIES
"""

NARROW_GLYPHS = 7199  # Unifont's count of 8-dot glyphs; they come first
TABLE_CODE_LIMIT = 0x1F6E7
PLANE = 0x10000


def bmp_code_points():
    return [c for c in range(0xFFFE) if not 0xD800 <= c <= 0xF8FF]


def generated_glyph(code, narrow, rng):
    width = 8 if narrow else 16
    digits = width // 4
    rows = "".join("%0*X\n" % (digits, rng.getrandbits(width)) for _ in range(16))
    return ("STARTCHAR U+%04X\nENCODING %d\nSWIDTH %d 0\nDWIDTH %d 0\nBBX %d 16 0 -2\nBITMAP\n%sENDCHAR\n\n"
            % (code, code, 500 if narrow else 1000, width, width, rows))


def generate(out_path):
    rng = random.Random(16)
    codes = bmp_code_points()
    with open(out_path, "w", newline="\n") as out:
        out.write(HEADER)
        out.write("CHARS %d\n" % len(codes))
        for index, code in enumerate(codes):
            out.write(generated_glyph(code, index < NARROW_GLYPHS, rng))
        out.write("ENDFONT\n")


def split_font(text):
    """Header (up to CHARS), glyph blocks (STARTCHAR up to the next one), tail."""
    start = text.index("\nSTARTCHAR") + 1
    end = text.rindex("\nENDFONT") + 1
    blocks = re.split(r"(?m)^(?=STARTCHAR)", text[start:end])[1:]
    return text[:start], blocks, text[end:]


def encoding_of(block):
    return int(block.split("\nENCODING ", 1)[1].split(None, 1)[0])


def shifted(block, shift):
    head, rest = block.split("\nENCODING ", 1)
    number, rest = rest.split("\n", 1)
    return "%s\nENCODING %d\n%s" % (head, int(number) + shift, rest)


def repeated_glyphs(blocks, room):
    """Copies of blocks, each copy in a plane range of its own, within room bytes."""
    highest = max(encoding_of(b) for b in blocks)
    stride = (highest // PLANE + 1) * PLANE
    first_shift = (max(highest, TABLE_CODE_LIMIT) // PLANE + 1) * PLANE
    glyphs = list(blocks)
    room -= sum(len(b) for b in blocks)
    for copy in itertools.count():
        for block in blocks:
            glyph = shifted(block, first_shift + copy * stride)
            if len(glyph) > room:
                return glyphs
            glyphs.append(glyph)
            room -= len(glyph)


def repeat(in_path, out_path, limit):
    with open(in_path, encoding="latin-1", newline="") as source:
        header, blocks, tail = split_font(source.read())
    room = limit - len(header) - len(tail) - 16  # 16: room for a longer CHARS line
    glyphs = repeated_glyphs(blocks, room)
    header = re.sub(r"(?m)^CHARS .*$", "CHARS %d" % len(glyphs), header)
    with open(out_path, "w", encoding="latin-1", newline="") as out:
        out.write(header)
        out.writelines(glyphs)
        out.write(tail)


def main(args):
    if len(args) == 2 and args[0] == "generate":
        generate(args[1])
    elif len(args) == 4 and args[0] == "repeat":
        repeat(args[1], args[2], int(args[3]))
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv[1:])
