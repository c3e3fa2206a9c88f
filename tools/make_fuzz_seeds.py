#!/usr/bin/env python3
"""Makes the large seed fonts of the fuzz corpus from the bundled samples.

    /usr/bin/python3 tools/make_fuzz_seeds.py

Needs Debian's python3-fonttools and bdftopcf (xfonts-utils). Writes
fuzz/corpus/fonts/big_*, read by the converters' targets, and
fuzz/corpus/fontprep/big_*, read by fontprep's target. Every seed is at
most 64 KiB, so libFuzzer's input limit, taken from the largest seed,
stays within 64 KiB. The glyphs are the public-domain Shinonome glyphs of
samples/, chosen from the converters' tables so that they land in the
images: every JIS code of cellforge's tables first, then glyphmill's kanji
spread over the whole table. The TrueType and CFF OpenType seeds trace the
dots of such glyphs as rectangles. The output is the same on every run.
"""
import gzip
import os
import re
import subprocess
import tempfile

from fontTools.fontBuilder import FontBuilder
from fontTools.pens.t2CharStringPen import T2CharStringPen
from fontTools.pens.ttGlyphPen import TTGlyphPen

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..')
SEED_LIMIT = 64 * 1024
PCF_CUT = 16 * 1024
UNITS_PER_DOT = 64
OUTLINE_GLYPHS = 160


def path(*parts):
    return os.path.join(ROOT, *parts)


def table_rows(name):
    """The fields of each row of one of the converters' tables in romformat/."""
    for line in open(path('romformat', name), encoding='utf-8'):
        fields = line.split('#')[0].split()
        if fields:
            yield fields


def cellforge_codes():
    """JIS code -> Unicode code point of every glyph cellforge's tables name."""
    pairs = []
    for name in ('set1_code_map.txt', 'set2_code_map.txt'):
        pairs += [(row[1], row[2]) for row in table_rows(name)]
    pairs += [(row[0], row[1]) for row in table_rows('extra_symbol_map.txt')]
    for row in table_rows('composite_table.txt'):
        pairs += [(row[1], row[2]), (row[7], row[8])]
    codes = {}
    for jis, unicode in pairs:
        if int(jis, 16) and int(unicode, 16):
            codes.setdefault(int(jis, 16), int(unicode, 16))
    return codes


def spread(items):
    """items (1024 of them) reordered so that every prefix covers them evenly."""
    return [items[i] for i in sorted(range(len(items)), key=lambda i: int(f'{i:010b}'[::-1], 2))]


def kanji_codes():
    """JIS code -> Unicode code point of glyphmill's kanji, spread over the table."""
    codes = {}
    for row in spread(list(table_rows('kanji_table.txt'))):
        jis = int(row[0], 16)
        codes[jis] = ord(bytes([0x80 | jis >> 8, 0x80 | jis & 0xFF]).decode('euc_jp'))
    return codes


def read_bdf(name):
    """The header up to CHARS and each glyph's lines by ENCODING."""
    head, _, body = open(path(name), encoding='ascii').read().partition('\nSTARTCHAR')
    blocks = ('STARTCHAR' + body).replace('ENDFONT\n', '').split('\nSTARTCHAR')
    glyphs = {}
    for block in blocks:
        block = block if block.startswith('STARTCHAR') else 'STARTCHAR' + block
        glyphs[int(re.search(r'ENCODING (\d+)', block).group(1))] = block.rstrip('\n') + '\n'
    return head.rstrip('\n') + '\n', glyphs


def bdf_text(head, blocks):
    head = re.sub(r'CHARS \d+', f'CHARS {len(blocks)}', head)
    return head + '\n' + '\n'.join(blocks) + 'ENDFONT\n'


def largest_fit(items, build, limit=SEED_LIMIT):
    """build() of the longest prefix of items whose result fits in limit bytes."""
    low, high = 0, len(items)
    while low < high:
        middle = (low + high + 1) // 2
        if len(build(items[:middle])) <= limit:
            low = middle
        else:
            high = middle - 1
    return build(items[:low])


def jis_cut(head, glyphs):
    """The font cut to the chosen glyphs, in ascending JIS order."""
    return lambda chosen: bdf_text(head, [glyphs[c] for c in sorted(chosen)])


def bitmap_rows(block):
    return [int(line, 16) for line in block.split('BITMAP\n')[1].split('ENDCHAR')[0].split()]


def tight_block(block, unicode):
    """The glyph numbered by unicode, its bitmap cut to the box of its dots."""
    width, height, x_offset, y_offset = map(int, re.search(r'BBX (.*)', block).group(1).split())
    row_bits = 8 * ((width + 7) // 8)
    rows = bitmap_rows(block)
    block = re.sub(r'ENCODING \d+', f'ENCODING {unicode}', block)
    inked = [r for r, bits in enumerate(rows) if bits]
    if not inked:
        return block
    mask = 0
    for bits in rows:
        mask |= bits
    left = row_bits - mask.bit_length()
    right = row_bits - 1 - ((mask & -mask).bit_length() - 1)
    top, bottom = inked[0], inked[-1]
    box_width = right - left + 1
    box_bits = 8 * ((box_width + 7) // 8)
    lines = [f'{(rows[r] >> (row_bits - 1 - right)) << (box_bits - box_width):0{box_bits // 4}X}'
             for r in range(top, bottom + 1)]
    box = f'BBX {box_width} {bottom - top + 1} {x_offset + left} {y_offset + height - 1 - bottom}'
    head = re.sub(r'BBX .*', box, block.split('BITMAP\n')[0])
    return head + 'BITMAP\n' + '\n'.join(lines) + '\nENDCHAR\n'


def unicode_head(head):
    head = re.sub(r'JISX0208\.\d+-0\n', 'ISO10646-1\n', head)
    head = re.sub(r'CHARSET_REGISTRY ".*"', 'CHARSET_REGISTRY "ISO10646"', head)
    head = re.sub(r'CHARSET_ENCODING ".*"', 'CHARSET_ENCODING "1"', head)
    return head.replace('DEFAULT_CHAR 8481', 'DEFAULT_CHAR 12288')


def unicode_tight_cut(head, glyphs, codes):
    """The font numbered by Unicode, in ascending order, with tight boxes."""
    def build(chosen):
        blocks = sorted((codes[c], tight_block(glyphs[c], codes[c])) for c in chosen)
        return bdf_text(unicode_head(head), [block for _, block in blocks])
    return build


def pcf(bdf):
    with tempfile.TemporaryDirectory() as scratch:
        source = os.path.join(scratch, 'font.bdf')
        with open(source, 'w', encoding='ascii') as file:
            file.write(bdf)
        return subprocess.run(['bdftopcf', source], check=True, capture_output=True).stdout


def row_runs(bits, width):
    """The (column, length) of each run of dots in one bitmap row."""
    runs, x = set(), 0
    while x < width:
        if bits >> (width - 1 - x) & 1:
            start = x
            while x < width and bits >> (width - 1 - x) & 1:
                x += 1
            runs.add((start, x - start))
        else:
            x += 1
    return runs


def rectangles(rows, width):
    """The dots of rows as rectangles (column, row, columns, rows): a run
    continued by the same run in the rows below is one rectangle."""
    open_runs, done = {}, []
    for r, bits in enumerate(rows + [0]):
        runs = row_runs(bits, width)
        for run in [run for run in open_runs if run not in runs]:
            top = open_runs.pop(run)
            done.append((run[0], top, run[1], r - top))
        for run in runs - open_runs.keys():
            open_runs[run] = r
    return sorted(done)


def draw(pen, rects, ascent, clockwise):
    """Each rectangle as a closed contour, in font units with y up."""
    for column, row, columns, height in rects:
        x0, x1 = column * UNITS_PER_DOT, (column + columns) * UNITS_PER_DOT
        y1, y0 = (ascent - row) * UNITS_PER_DOT, (ascent - row - height) * UNITS_PER_DOT
        corners = [(x0, y0), (x0, y1), (x1, y1), (x1, y0)]
        if not clockwise:
            corners.reverse()
        pen.moveTo(corners[0])
        for corner in corners[1:]:
            pen.lineTo(corner)
        pen.closePath()


def outline_font(glyphs, codes, name, truetype):
    """An outline font whose glyphs are the bitmaps of codes traced as
    rectangles, with ASCII mapped to the full-width forms it has."""
    ascent, cell = 14, 16
    order = ['.notdef'] + [f'uni{codes[c]:04X}' for c in codes]
    cmap = {codes[c]: f'uni{codes[c]:04X}' for c in codes}
    for ascii_code in range(0x21, 0x7F):
        if ascii_code + 0xFEE0 in cmap:
            cmap[ascii_code] = cmap[ascii_code + 0xFEE0]
    shapes = {'.notdef': [(1, 1, 14, 1), (1, 13, 14, 1), (1, 2, 1, 11), (14, 2, 1, 11)]}
    for c in codes:
        shapes[f'uni{codes[c]:04X}'] = rectangles(bitmap_rows(glyphs[c]), cell)
    advance = cell * UNITS_PER_DOT
    font = FontBuilder(cell * UNITS_PER_DOT, isTTF=truetype)
    font.updateHead(created=0, modified=0)
    font.setupGlyphOrder(order)
    font.setupCharacterMap(cmap)
    outlines = {}
    for glyph, rects in shapes.items():
        pen = TTGlyphPen(None) if truetype else T2CharStringPen(advance, None)
        draw(pen, rects, ascent, truetype)
        outlines[glyph] = pen.glyph() if truetype else pen.getCharString()
    if truetype:
        font.setupGlyf(outlines)
    else:
        font.setupCFF(name, {'FullName': name}, outlines, {})
    left = {glyph: min((x for x, _, _, _ in rects), default=0) for glyph, rects in shapes.items()}
    font.setupHorizontalMetrics({glyph: (advance, left[glyph] * UNITS_PER_DOT) for glyph in order})
    font.setupHorizontalHeader(ascent=ascent * UNITS_PER_DOT, descent=-2 * UNITS_PER_DOT)
    font.setupNameTable({'familyName': name, 'styleName': 'Regular',
                         'copyright': 'Public domain: Shinonome Gothic 16 traced dot by dot'})
    font.setupOS2(sTypoAscender=ascent * UNITS_PER_DOT, sTypoDescender=-2 * UNITS_PER_DOT,
                  usWinAscent=ascent * UNITS_PER_DOT, usWinDescent=2 * UNITS_PER_DOT)
    font.setupPost()
    with tempfile.TemporaryFile() as file:
        font.save(file)
        file.seek(0)
        return file.read()


def write(folder, name, data):
    if isinstance(data, str):
        data = data.encode('ascii')
    assert len(data) <= SEED_LIMIT, name
    with open(path('fuzz/corpus', folder, name), 'wb') as file:
        file.write(data)
    print(f'fuzz/corpus/{folder}/{name}: {len(data)} bytes')


def main():
    cells = cellforge_codes()
    codes = {**cells, **{jis: u for jis, u in kanji_codes().items() if jis not in cells}}
    assert len(set(codes.values())) == len(codes)
    head16, glyphs16 = read_bdf('samples/shinonome-16-gothic.bdf')
    head12, glyphs12 = read_bdf('samples/shinonome-12-gothic.bdf')
    chosen = [c for c in codes if c in glyphs16]
    kanji = [c for c in chosen if c not in cells]
    # The 12-dot cut takes its kanji from the other end, the ones the 16-dot cut leaves out.
    chosen12 = [c for c in chosen if c in cells] + kanji[::-1]

    # The converters' targets: both sizes numbered by JIS, the 16 dots by Unicode.
    write('fonts', 'big_shinonome16_jis.bdf', largest_fit(chosen, jis_cut(head16, glyphs16)))
    write('fonts', 'big_shinonome12_jis.bdf', largest_fit(chosen12, jis_cut(head12, glyphs12)))
    tight = largest_fit(chosen, unicode_tight_cut(head16, glyphs16, codes))
    write('fonts', 'big_shinonome16_unicode_tight.bdf', tight)

    # fontprep's target: every format it reads. The gzip-compressed seeds hold every chosen glyph.
    write('fontprep', 'big_shinonome16_unicode_tight.bdf', tight)
    all12 = jis_cut(head12, glyphs12)(chosen).encode('ascii')
    write('fontprep', 'big_shinonome12_jis.bdf.gz', gzip.compress(all12, 9, mtime=0))
    write('fontprep', 'big_shinonome16_jis.pcf',
          largest_fit(chosen, lambda prefix: pcf(jis_cut(head16, glyphs16)(prefix))))
    sample_pcf = open(path('samples/shinonome-16-subset.pcf.gz'), 'rb').read()
    write('fontprep', 'big_shinonome16_subset.pcf.gz', sample_pcf)
    # A PCF cut short: its table of contents points past the end.
    write('fontprep', 'big_shinonome16_cut.pcf', gzip.decompress(sample_pcf)[:PCF_CUT])
    traced = {c: codes[c] for c in chosen[:OUTLINE_GLYPHS]}
    write('fontprep', 'big_traced_glyf.ttf', outline_font(glyphs16, traced, 'SeedDotsGlyf', True))
    traced = {c: codes[c] for c in kanji[:OUTLINE_GLYPHS]}
    write('fontprep', 'big_traced_cff.otf', outline_font(glyphs16, traced, 'SeedDotsCFF', False))


if __name__ == '__main__':
    main()
