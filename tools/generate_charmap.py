#!/usr/bin/env python3
"""Generates the JIS/Unicode character map data unit from Python's codecs.

    generate_charmap.py VARIANT_PAIRS OUT.cpp

Every mapping comes from a standard decoder, never from a typed table:
- JIS X 0208 row-cell codes to Unicode through the euc_jp codec (as the
  kanji table's Unicode column is);
- JIS X 0213 plane 1 and plane 2 through euc_jis_2004 (a code that decodes
  to a sequence of code points has no single one and is left out);
- the 8-bit character sets of bitmap fonts through their codecs.
Unicode code points that fonts give one JIS X 0208 character are found by
comparing the euc_jp, euc_jis_2004, cp932, shift_jis, shift_jis_2004 and
iso2022_jp decoders; VARIANT_PAIRS adds the pairs no Python decoder shows.
Any fault stops the build with file:line and status 1.
"""
import os
import sys

CELLS = 94
JIS_DECODERS = ('euc_jp', 'euc_jis_2004', 'cp932', 'shift_jis', 'shift_jis_2004', 'iso2022_jp')

# Registry names of 8-bit bitmap fonts (lower case, as CHARSET_REGISTRY-
# CHARSET_ENCODING) and Windows font character sets, with their codecs.
CODE_PAGES = [
    ('iso8859-1', 'latin_1'), ('iso8859-2', 'iso8859_2'), ('iso8859-3', 'iso8859_3'),
    ('iso8859-4', 'iso8859_4'), ('iso8859-5', 'iso8859_5'), ('iso8859-6', 'iso8859_6'),
    ('iso8859-7', 'iso8859_7'), ('iso8859-8', 'iso8859_8'), ('iso8859-9', 'iso8859_9'),
    ('iso8859-10', 'iso8859_10'), ('iso8859-11', 'iso8859_11'), ('iso8859-13', 'iso8859_13'),
    ('iso8859-14', 'iso8859_14'), ('iso8859-15', 'iso8859_15'), ('iso8859-16', 'iso8859_16'),
    ('koi8-r', 'koi8_r'), ('koi8-u', 'koi8_u'), ('iso646.1991-irv', 'ascii'),
    ('jisx0201.1976-0', None),
    ('microsoft-cp1250', 'cp1250'), ('microsoft-cp1251', 'cp1251'), ('microsoft-cp1252', 'cp1252'),
    ('microsoft-cp1253', 'cp1253'), ('microsoft-cp1254', 'cp1254'), ('microsoft-cp1255', 'cp1255'),
    ('microsoft-cp1256', 'cp1256'), ('microsoft-cp1257', 'cp1257'), ('microsoft-cp1258', 'cp1258'),
    ('ibm-cp437', 'cp437'), ('ibm-cp850', 'cp850'), ('ibm-cp866', 'cp866'),
    ('apple-roman', 'mac_roman'),
]


class MapError(Exception):
    pass


def single(text):
    return ord(text) if len(text) == 1 else 0


def decode(codec, data):
    try:
        return single(data.decode(codec))
    except UnicodeDecodeError:
        return 0


def shift_jis_bytes(row, cell):
    """The Shift_JIS bytes of a JIS X 0208 row-cell code (both 0x21..0x7E)."""
    r, c = row - 0x21, cell - 0x21
    lead = (r >> 1) + (0x81 if r < 62 else 0xC1)
    if r & 1:
        trail = c + 0x9F
    else:
        trail = c + 0x40 + (1 if c >= 63 else 0)
    return bytes([lead, trail])


def jis_decodings(row, cell):
    """Each decoder's code point for a JIS X 0208 code, 0 where it has none."""
    euc = bytes([row | 0x80, cell | 0x80])
    sjis = shift_jis_bytes(row, cell)
    return [decode('euc_jp', euc), decode('euc_jis_2004', euc), decode('cp932', sjis),
            decode('shift_jis', sjis), decode('shift_jis_2004', sjis),
            decode('iso2022_jp', b'\x1b$B' + bytes([row, cell]))]


def plane_table(prefix, codec):
    """Code point of each row-cell code of a 94 x 94 plane, row-major."""
    return [decode(codec, prefix + bytes([row | 0x80, cell | 0x80]))
            for row in range(0x21, 0x7F) for cell in range(0x21, 0x7F)]


def code_page_table(codec):
    if codec is None:  # JIS X 0201: its Roman half and its katakana half
        table = [0] * 256
        for byte in range(0x21, 0x7F):
            table[byte] = decode('iso2022_jp', b'\x1b(J' + bytes([byte]))
            table[byte | 0x80] = decode('iso2022_jp_ext', b'\x1b(I' + bytes([byte]))
        table[0x20] = 0x20
        return table
    return [decode(codec, bytes([byte])) for byte in range(256)]


def read_variant_pairs(path):
    pairs = []
    with open(path, encoding='utf-8') as table:
        for number, line in enumerate(table, 1):
            fields = line.split('#', 1)[0].split()
            if not fields:
                continue
            if len(fields) != 2:
                raise MapError(f'{path}:{number}: {len(fields)} fields, expected 2')
            try:
                first, second = int(fields[0], 16), int(fields[1], 16)
            except ValueError:
                raise MapError(f'{path}:{number}: not a pair of hexadecimal code points')
            pairs.append((min(first, second), max(first, second), path, number))
    return pairs


def build_maps(pairs_path):
    jis0208 = [0] * (CELLS * CELLS)
    variants = set()
    unicode_to_jis = {}  # code point -> (JIS code, primary)
    for row in range(0x21, 0x7F):
        for cell in range(0x21, 0x7F):
            decodings = jis_decodings(row, cell)
            primary = decodings[0]
            if primary == 0:
                continue
            jis = row << 8 | cell
            jis0208[(row - 0x21) * CELLS + cell - 0x21] = primary
            unicode_to_jis[primary] = (jis, True)
            for other in set(decodings) - {0, primary}:
                variants.add((min(primary, other), max(primary, other)))
    for first, second, path, number in read_variant_pairs(pairs_path):
        if first not in unicode_to_jis and second not in unicode_to_jis:
            raise MapError(f'{path}:{number}: neither code point is a JIS X 0208 character')
        variants.add((first, second))
    # Either member of a pair reaches the JIS X 0208 code, ahead of any code
    # JIS X 0213 gives the other member of its own.
    for first, second in sorted(variants):
        for code, other in ((first, second), (second, first)):
            if code not in unicode_to_jis and other in unicode_to_jis:
                unicode_to_jis[code] = (unicode_to_jis[other][0], False)
    jis0213 = plane_table(b'', 'euc_jis_2004')
    for index, code_point in enumerate(jis0213):
        jis = (index // CELLS + 0x21) << 8 | (index % CELLS + 0x21)
        if code_point and code_point not in unicode_to_jis:
            unicode_to_jis[code_point] = (jis, True)
    plane2 = plane_table(b'\x8f', 'euc_jis_2004')
    return jis0208, jis0213, plane2, sorted(unicode_to_jis.items()), sorted(variants)


def number_rows(values, indent='    ', per_line=8):
    return '\n'.join(indent + ' '.join(f'0x{value:04X},' for value in values[start:start + per_line])
                     for start in range(0, len(values), per_line))


def charmap_unit(pairs_path):
    jis0208, jis0213, plane2, unicode_to_jis, variants = build_maps(pairs_path)
    text = (f'// Generated by generate_charmap.py from Python\'s codecs and '
            f'{os.path.basename(pairs_path)}. Do not edit.\n'
            '#include "jis_unicode_map.h"\n\n')
    for name, table in (('jis0208_unicode', jis0208), ('jis0213_plane1_unicode', jis0213),
                        ('jis0213_plane2_unicode', plane2)):
        text += f'const std::int32_t {name}[jis_plane_size] = {{\n{number_rows(table)}\n}};\n\n'
    text += f'const int unicode_jis_count = {len(unicode_to_jis)};\n'
    text += 'const UnicodeJis unicode_jis[] = {\n'
    for code_point, (jis, primary) in unicode_to_jis:
        text += f'    {{0x{code_point:04X}, 0x{jis:04X}, {"true" if primary else "false"}}},\n'
    text += '};\n\n'
    text += f'const int variant_pair_count = {len(variants)};\n'
    text += 'const VariantPair variant_pairs[] = {\n'
    text += ''.join(f'    {{0x{first:04X}, 0x{second:04X}}},\n' for first, second in variants)
    text += '};\n\n'
    text += f'const int code_page_count = {len(CODE_PAGES)};\n'
    text += 'const CodePage code_pages[] = {\n'
    for name, codec in CODE_PAGES:
        text += f'    {{"{name}", {{\n{number_rows(code_page_table(codec), "        ")}\n    }}}},\n'
    return text + '};\n'


def main(argv):
    if len(argv) != 3:
        print('usage: generate_charmap.py VARIANT_PAIRS OUT.cpp', file=sys.stderr)
        return 1
    try:
        text = charmap_unit(argv[1])
    except (MapError, OSError, UnicodeDecodeError) as error:
        print(f'generate_charmap.py: {error}', file=sys.stderr)
        return 1
    with open(argv[2], 'w', encoding='utf-8') as unit:
        unit.write(text)
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
