#!/usr/bin/env python3
"""The table generator refuses tables whose rows do not say what they hold:
each case changes one row of a real table and expects the build to stop
with the fault named, or to go on."""
import os
import shutil
import subprocess
import sys
import tempfile

generator, tables = sys.argv[1], sys.argv[2]
CHARACTER_TABLES = ['set1_code_map.txt', 'extra_symbol_map.txt', 'set2_code_map.txt', 'composite_table.txt']

# name, table, row text, replacement, the fault expected (None: accepted)
CASES = [
    ('row as it is', 'set2_code_map.txt', '70    2A79  014B', '70    2A79  014B', None),
    ('columns differ without a note', 'set2_code_map.txt',
     '# ɡ / ŋ; each numbering gets its own character', '# ɡ / ŋ', 'say why after'),
    ('comment names the wrong character', 'set1_code_map.txt', '# 月', '# 日', 'must start with "月"'),
    ('comment missing', 'set1_code_map.txt', '  # 月', '', 'must start with "月"'),
    ('Unicode column changed under its comment', 'set1_code_map.txt', '01    376E  6708', '01    376E  6709',
     'must start with "月 / 有"'),
    ('composite component that differs, noted', 'composite_table.txt',
     '236F FF4F  1.5   0     1     0        2127 FF1A  3     2     1     0  # ｏ + ：',
     '236F FF5F  1.5   0     1     0        2127 FF1A  3     2     1     0  # ｏ / ｟ + ：; a test note', None),
    ('composite component that differs, no note', 'composite_table.txt', '236F FF4F', '236F FF5F',
     'must start with "ｏ / ｟ + ："'),
    ('kanji comment wrong', 'kanji_table.txt', '3026  # 愛', '3026  # 悪', 'must start with "愛"'),
    ('text after the characters without a separator', 'set1_code_map.txt', '# 月', '# 月 moon', 'only "; "'),
]


def run_case(work, name, table, old, new, fault):
    for file in CHARACTER_TABLES + ['kanji_table.txt']:
        shutil.copy(os.path.join(tables, file), work)
    path = os.path.join(work, table)
    with open(path, encoding='utf-8') as source:
        text = source.read()
    if old not in text:
        return f'{name}: "{old}" is not in {table}'
    with open(path, 'w', encoding='utf-8') as target:
        target.write(text.replace(old, new, 1))
    if table == 'kanji_table.txt':
        arguments = ['kanji', path]
    else:
        arguments = ['cellforge'] + [os.path.join(work, file) for file in CHARACTER_TABLES]
    output = os.path.join(work, 'out.cpp')
    result = subprocess.run([sys.executable, generator] + arguments + [output], capture_output=True, text=True)
    if fault is None:
        return None if result.returncode == 0 else f'{name}: refused: {result.stderr.strip()}'
    if result.returncode != 1 or fault not in result.stderr or os.path.exists(output):
        return f'{name}: expected a refusal naming "{fault}", got status {result.returncode}: {result.stderr.strip()}'
    return None


failures = 0
for case in CASES:
    with tempfile.TemporaryDirectory() as work:
        problem = run_case(work, *case)
    if problem:
        print(problem)
        failures += 1
print(f'{len(CASES) - failures} passed, {failures} failed')
sys.exit(1 if failures else 0)
