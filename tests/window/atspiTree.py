#!/usr/bin/python3
"""Reads kavrin's accessibility tree over AT-SPI, as a screen reader does,
and checks what it must find: the excerpt's text with the mark as an
attribute run, and the line numbers as text.
Usage: atspiTree.py (with kavrin running on the same accessibility bus)"""
import sys
import time

import pyatspi


def nodes(node):
    for child in node:
        if child is not None:
            yield child
            yield from nodes(child)


app = None
for _ in range(100):
    app = next((a for a in pyatspi.Registry.getDesktop(0) if a is not None and a.name.lower() == 'kavrin'), None)
    if app is not None and any(n.name == 'Auszug' for n in nodes(app)):
        break
    time.sleep(0.1)
if app is None:
    sys.exit('kavrin is not on the accessibility bus')
named = {n.name: n for n in nodes(app) if n.name}
excerpt = named['Auszug'].queryText()
content = excerpt.getText(0, -1)
at = content.index('46</ziroTipp>')
attributes, start, end = excerpt.getAttributes(at)
failed = []
if content[start:end] != '46' or 'underline:single' not in attributes or 'fg-color:' not in attributes:
    failed.append(f'mark: {attributes!r} over {content[start:end]!r}')
if 'Markiert ist „46“' not in named['Auszug'].description:
    failed.append(f'description: {named["Auszug"].description!r}')
numbers = named['Zeilennummern'].queryText().getText(0, -1)
if numbers != '5\n6\n7\n8\n9\n10\n11':
    failed.append(f'line numbers: {numbers!r}')
for name in ('Hinweis', 'Dateiname', 'Meldung', 'CHECK'):
    if name not in named:
        failed.append(f'no element named {name}')
print('\n'.join(failed) or 'the tree reads as it should')
sys.exit(1 if failed else 0)
