#!/usr/bin/env python3
"""Turns the plain-text code tables into C++ data units.

    generate_tables.py kanji KANJI_TABLE OUT.cpp
    generate_tables.py cellforge SET1 EXTRA SET2 COMPOSITE OUT.cpp

Each table is a text file of whitespace-separated fields, one row per line;
'#' starts a comment. Codes are hexadecimal without prefix (0000: no glyph).
The kanji table lists JIS codes in strictly ascending order; its Unicode
column is the standard JIS X 0208 mapping of each code. Transform values are
copied into the C++ source as written, so each double is the nearest one to
the decimal in the table.

Every row that names a character says which in its comment: the character
of its JIS code (by the standard JIS X 0208 mapping, else JIS X 0213 plane
1) and of its Unicode code point, once where they are the same and as
"JIS / UNICODE" where they differ; a composite row names its two components
joined by " + ". Characters that do not show (spaces, controls, combining
marks) are written U+XXXX. A row whose two columns name different
characters must say why after "; " in its comment.

Any malformed row stops the build: the script prints file:line and the
fault, exits with status 1 and writes nothing.
"""
import os
import re
import sys
import unicodedata

KANJI_SLOTS = 1024
BANK_CELLS = 256
EXTRA_SYMBOLS = 4
COMPOSITES = 54
MAX_CODE_POINT = 0x10FFFF

HEX = re.compile(r'[0-9A-Fa-f]{1,6}')
DECIMAL = re.compile(r'-?[0-9]+(\.[0-9]+)?')


class TableError(Exception):
    pass


def read_rows(path, field_counts, row_count):
    """Returns (line number, fields, comment) for each data line of the file."""
    rows = []
    with open(path, encoding='utf-8') as table:
        for number, line in enumerate(table, 1):
            data, _, comment = line.rstrip('\n').partition('#')
            fields = data.split()
            if not fields:
                continue
            if len(fields) not in field_counts:
                raise TableError(f'{path}:{number}: {len(fields)} fields, expected '
                                 + ' or '.join(map(str, field_counts)))
            rows.append((number, fields, comment.strip(' ')))
    if len(rows) != row_count:
        raise TableError(f'{path}: {len(rows)} rows, expected {row_count}')
    return rows


def shown(text):
    """The characters as a reader sees them; invisible ones as U+XXXX."""
    def one(character):
        visible = (character.isprintable() and not character.isspace()
                   and not unicodedata.combining(character))
        return character if visible else f'U+{ord(character):04X}'
    return ''.join(one(character) for character in text)


def jis_character(path, number, jis):
    """The standard mapping of a JIS code: JIS X 0208, else JIS X 0213 plane 1."""
    euc = bytes([(jis >> 8) | 0x80, (jis & 0xFF) | 0x80])
    for codec in ('euc_jp', 'euc_jis_2004'):
        try:
            return euc.decode(codec)
        except UnicodeDecodeError:
            pass
    raise TableError(f'{path}:{number}: {jis:04X} is neither a JIS X 0208 nor a JIS X 0213 character')


def character_names(path, number, jis, unicode):
    """What a comment names for a JIS code and a code point (0: none), and
    whether the two name different characters."""
    names = []
    if jis:
        names.append(shown(jis_character(path, number, jis)))
    if unicode:
        names.append(shown(chr(unicode)))
    if len(names) == 2 and names[0] == names[1]:
        names.pop()
    return ' / '.join(names), len(names) == 2


def check_comment(path, number, comment, names, differ):
    """The comment must name the row's characters, and say why after '; '
    where the two columns name different characters."""
    if not names:
        return
    if not comment.startswith(names):
        raise TableError(f'{path}:{number}: the comment must start with "{names}", '
                         f'the characters the row names')
    note = comment[len(names):]
    if note and not note.startswith('; '):
        raise TableError(f'{path}:{number}: after "{names}" only "; " and a note may follow')
    if differ and not note[2:].strip():
        raise TableError(f'{path}:{number}: the JIS and Unicode columns name different '
                         f'characters ({names}); say why after "; "')


def parse_hex(path, number, text):
    if not HEX.fullmatch(text):
        raise TableError(f'{path}:{number}: "{text}" is not a hexadecimal code')
    return int(text, 16)


def parse_jis(path, number, text):
    """A JIS row-cell code: both bytes 0x21..0x7E, or 0 for no glyph."""
    code = parse_hex(path, number, text)
    if code != 0 and not (0x21 <= code >> 8 <= 0x7E and 0x21 <= code & 0xFF <= 0x7E):
        raise TableError(f'{path}:{number}: {text} is not a JIS row-cell code')
    return code


def parse_unicode(path, number, text):
    code = parse_hex(path, number, text)
    if code > MAX_CODE_POINT:
        raise TableError(f'{path}:{number}: {text} is beyond the last code point')
    return code


def parse_decimal(path, number, text):
    if not DECIMAL.fullmatch(text):
        raise TableError(f'{path}:{number}: "{text}" is not a decimal number')
    return text


def jis_to_unicode(path, number, jis):
    """The standard JIS X 0208 mapping, through the EUC-JP form of the code."""
    try:
        character = bytes([(jis >> 8) | 0x80, (jis & 0xFF) | 0x80]).decode('euc_jp')
    except UnicodeDecodeError:
        raise TableError(f'{path}:{number}: {jis:04X} is not a JIS X 0208 character')
    return ord(character)


def read_kanji_table(path):
    """The JIS code of each slot, strictly ascending, and its Unicode mapping."""
    jis_column = []
    unicode_column = []
    for number, fields, comment in read_rows(path, (1,), KANJI_SLOTS):
        jis = parse_jis(path, number, fields[0])
        if jis_column and jis <= jis_column[-1]:
            raise TableError(f'{path}:{number}: {fields[0]} does not follow {jis_column[-1]:04X}; '
                             'the kanji stand in ascending JIS order')
        jis_column.append(jis)
        unicode_column.append(jis_to_unicode(path, number, jis))
        check_comment(path, number, comment, *character_names(path, number, jis, 0))
    return jis_column, unicode_column


def read_code_map(path):
    """A CELL JIS UNICODE row for every cell of a character set, in cell order."""
    jis_column = []
    unicode_column = []
    for cell, (number, fields, comment) in enumerate(read_rows(path, (3,), BANK_CELLS)):
        if parse_hex(path, number, fields[0]) != cell:
            raise TableError(f'{path}:{number}: cell {fields[0]} out of order, expected {cell:02X}')
        jis_column.append(parse_jis(path, number, fields[1]))
        unicode_column.append(parse_unicode(path, number, fields[2]))
        check_comment(path, number, comment,
                      *character_names(path, number, jis_column[-1], unicode_column[-1]))
    return jis_column, unicode_column


def read_extra_symbols(path):
    jis_column = []
    unicode_column = []
    for number, fields, comment in read_rows(path, (2,), EXTRA_SYMBOLS):
        jis_column.append(parse_jis(path, number, fields[0]))
        unicode_column.append(parse_unicode(path, number, fields[1]))
        check_comment(path, number, comment,
                      *character_names(path, number, jis_column[-1], unicode_column[-1]))
    return jis_column, unicode_column


def parse_component(path, number, fields):
    """JIS, Unicode and the four transform values of one component."""
    return (parse_jis(path, number, fields[0]), parse_unicode(path, number, fields[1]),
            [parse_decimal(path, number, value) for value in fields[2:6]])


def read_composites(path):
    entries = []
    targets = set()
    for number, fields, comment in read_rows(path, (13,), COMPOSITES):
        target = parse_hex(path, number, fields[0])
        if target >= BANK_CELLS or target in targets:
            raise TableError(f'{path}:{number}: target {fields[0]} out of range or repeated')
        targets.add(target)
        first = parse_component(path, number, fields[1:7])
        second = parse_component(path, number, fields[7:13])
        first_names, first_differ = character_names(path, number, first[0], first[1])
        second_names, second_differ = character_names(path, number, second[0], second[1])
        check_comment(path, number, comment, f'{first_names} + {second_names}', first_differ or second_differ)
        entries.append((target, first, second))
    return entries


def code_rows(codes, indent):
    """Hexadecimal codes, eight to a line."""
    lines = []
    for start in range(0, len(codes), 8):
        lines.append(indent + ' '.join(f'0x{code:04X},' for code in codes[start:start + 8]))
    return '\n'.join(lines)


def code_pair(name, columns, indent):
    jis_column, unicode_column = columns
    return (f'{indent}{{  // {name} JIS\n{code_rows(jis_column, indent + "    ")}\n{indent}}},\n'
            f'{indent}{{  // {name} Unicode\n{code_rows(unicode_column, indent + "    ")}\n{indent}}},\n')


def banner(sources):
    names = ', '.join(os.path.basename(source) for source in sources)
    return f'// Generated by generate_tables.py from {names}. Do not edit.\n'


def kanji_unit(source):
    return (banner([source]) + '#include "kanji_table.h"\n\n'
            'const KanjiCodeMap kanji_code_map = {{\n'
            + code_pair('slot', read_kanji_table(source), '    ')
            + '}};\n')


def component_text(component):
    jis, unicode, transform = component
    return f'0x{jis:04X}, 0x{unicode:04X}, {{{", ".join(transform)}}}'


def cellforge_unit(set1, extra, set2, composite):
    entries = read_composites(composite)
    text = (banner([set1, extra, set2, composite]) + '#include "code_tables.h"\n\n'
            'const CodeMap set1_code_map = {{\n'
            + code_pair('cell', read_code_map(set1), '    ')
            + '}};\n\nconst std::int32_t extra_symbol_map[2][extra_symbol_count] = {\n'
            + code_pair('symbol', read_extra_symbols(extra), '    ')
            + '};\n\nconst CodeMap set2_code_map = {{\n'
            + code_pair('cell', read_code_map(set2), '    ')
            + '}};\n\nconst CompositeEntry composite_table[composite_count] = {\n')
    for target, first, second in entries:
        text += f'    {{0x{target:02X}, {component_text(first)}, {component_text(second)}}},\n'
    return text + '};\n'


def main(argv):
    if len(argv) == 4 and argv[1] == 'kanji':
        sources, output, build = argv[2:3], argv[3], kanji_unit
    elif len(argv) == 7 and argv[1] == 'cellforge':
        sources, output, build = argv[2:6], argv[6], cellforge_unit
    else:
        print('usage: generate_tables.py kanji KANJI_TABLE OUT.cpp\n'
              '       generate_tables.py cellforge SET1 EXTRA SET2 COMPOSITE OUT.cpp',
              file=sys.stderr)
        return 1
    try:
        text = build(*sources)
    except (TableError, OSError, UnicodeDecodeError) as error:
        print(f'generate_tables.py: {error}', file=sys.stderr)
        return 1
    with open(output, 'w', encoding='utf-8') as unit:
        unit.write(text)
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
