#!/usr/bin/python3
"""Writes columnsTable.inc, the columns a terminal gives each character, from
Unicode's character data (Debian: unicode-data).

Usage: makeColumnsTable.py [UNICODE_FOLDER] > system/columnsTable.inc

Two columns for the wide and full-width characters of EastAsianWidth.txt
(W, F), also where it gives unassigned code points W by default. None for
combining marks (Mn, Me), for format characters (Cf) that are not drawn
(PropList.txt's Prepended_Concatenation_Mark and the soft hyphen are), and
for the Hangul vowels and final consonants that join the syllable before
them (HangulSyllableType.txt: V, T). One for the rest.
"""
import re
import sys

FOLDER = sys.argv[1] if len(sys.argv) > 1 else '/usr/share/unicode'
LAST = 0x10FFFF
# Unassigned code points of these ranges are W, as EastAsianWidth.txt says.
DEFAULT_WIDE = [(0x3400, 0x4DBF), (0x4E00, 0x9FFF), (0xF900, 0xFAFF), (0x20000, 0x2FFFD), (0x30000, 0x3FFFD)]
SOFT_HYPHEN = 0x00AD
# "FIRST[..LAST] ; VALUE # CATEGORY ...", the form of every file read here.
LINE = re.compile(r'^([0-9A-F]+)(?:\.\.([0-9A-F]+))?\s*;\s*(\w+)\s*#\s*(\w\w)')


def entries(name):
    with open(f'{FOLDER}/{name}', encoding='utf-8') as data:
        for line in data:
            match = LINE.match(line)
            if match:
                yield int(match[1], 16), int(match[2] or match[1], 16), match[3], match[4]


def fill(first, last, columns):
    width[first:last + 1] = bytes([columns]) * (last - first + 1)


def version():
    with open(f'{FOLDER}/EastAsianWidth.txt', encoding='utf-8') as data:
        return data.readline().lstrip('# ').strip()


width = bytearray([1]) * (LAST + 1)
for first, last in DEFAULT_WIDE:
    fill(first, last, 2)
for first, last, kind, category in entries('EastAsianWidth.txt'):
    hidden = category in ('Mn', 'Me') or (category == 'Cf' and first != SOFT_HYPHEN)
    fill(first, last, 0 if hidden else 2 if kind in ('W', 'F') else 1)
for first, last, prop, _ in entries('PropList.txt'):
    if prop == 'Prepended_Concatenation_Mark':
        fill(first, last, 1)
for first, last, kind, _ in entries('HangulSyllableType.txt'):
    if kind in ('V', 'T'):
        fill(first, last, 0)

print(f'// Made by makeColumnsTable.py from {version()}; do not edit.')
print('// { first, last, columns } for every range that is not one column wide.')
start = 0
for c in range(1, LAST + 2):
    if c > LAST or width[c] != width[start]:
        if width[start] != 1:
            print(f'{{ 0x{start:04X}, 0x{c - 1:04X}, {width[start]} }},')
        start = c
