#!/usr/bin/python3
"""Prints a Windows program's version resource, as wrestool extracts it raw,
one "name=value" a line: the fixed file and product versions, then each
string. Usage: wrestool -x -t 16 PROGRAM.exe | versionResource.py"""
import struct
import sys

FIXED_SIGNATURE = 0xFEEF04BD


def aligned(offset):
    return (offset + 3) & ~3


def walk(data, offset, end):
    """Yields (key, value bytes, is text) for each node of the tree."""
    while offset + 6 <= end:
        length, value_length, is_text = struct.unpack_from('<HHH', data, offset)
        if length == 0:
            return
        key_end = data.index(b'\0\0', offset + 6)
        while (key_end - offset) % 2:
            key_end = data.index(b'\0\0', key_end + 1)
        key = data[offset + 6:key_end].decode('utf-16-le')
        value_at = aligned(key_end + 2)
        size = value_length * 2 if is_text else value_length
        yield key, data[value_at:value_at + size], is_text
        yield from walk(data, aligned(value_at + size), offset + length)
        offset = aligned(offset + length)


def version(most, least):
    return f'{most >> 16}.{most & 0xFFFF}.{least >> 16}.{least & 0xFFFF}'


data = sys.stdin.buffer.read()
for key, value, is_text in walk(data, 0, len(data)):
    if key == 'VS_VERSION_INFO':
        signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from('<6I', value)
        assert signature == FIXED_SIGNATURE, hex(signature)
        print(f'FILEVERSION={version(file_ms, file_ls)}')
        print(f'PRODUCTVERSION={version(product_ms, product_ls)}')
    elif is_text and value:
        print(f"{key}={value.decode('utf-16-le').rstrip(chr(0))}")
