#!/usr/bin/python3
"""Reads kavrin's accessibility tree over AT-SPI, as a screen reader does.
tree: the excerpt's text with the mark as an attribute run, and the line
numbers as text. step: what F8 tells, and the excerpt it shows.
Usage: atspiTree.py tree|step (with kavrin running on the same accessibility
bus)"""
import sys
import time

import pyatspi
from gi.repository import GLib

XK_F8 = 0xFFC5


def nodes(node):
    for child in node:
        if child is not None:
            yield child
            yield from nodes(child)


def mark(excerpt):
    """The text of the attribute run at the caret, and its attributes."""
    text = excerpt.queryText()
    content = text.getText(0, -1)
    attributes, start, end = text.getAttributes(text.caretOffset)
    return content[start:end], attributes


def tree(named):
    failed = []
    marked, attributes = mark(named['Auszug'])
    if marked != '46' or 'underline:single' not in attributes or 'fg-color:' not in attributes:
        failed.append(f'mark: {attributes!r} over {marked!r}')
    if 'Markiert ist „46“' not in named['Auszug'].description:
        failed.append(f'description: {named["Auszug"].description!r}')
    numbers = named['Zeilennummern'].queryText().getText(0, -1)
    if numbers != '5\n6\n7\n8\n9\n10\n11':
        failed.append(f'line numbers: {numbers!r}')
    for name in ('Hinweis', 'Dateiname', 'Meldung', 'CHECK'):
        if name not in named:
            failed.append(f'no element named {name}')
    return failed


def step(named):
    heard = {}

    def hear(event):
        if event.source == named['Auszug']:
            heard[event.type] = event.any_data

    def done():
        if ('object:text-changed:insert' in heard and 'object:text-caret-moved' in heard) or time.time() > deadline:
            pyatspi.Registry.stop()
            return False
        return True

    # F8 reaches the window once the window manager has made it active.
    frame = next(child for child in app if child is not None and child.getRole() == pyatspi.ROLE_FRAME)
    for _ in range(100):
        if frame.getState().contains(pyatspi.STATE_ACTIVE):
            break
        time.sleep(0.1)
    pyatspi.Registry.registerEventListener(hear, 'object:text-changed:insert', 'object:text-caret-moved')
    deadline = time.time() + 10
    GLib.timeout_add(200, lambda: pyatspi.Registry.generateKeyboardEvent(XK_F8, None, pyatspi.KEY_SYM) and False)
    GLib.timeout_add(100, done)
    pyatspi.Registry.start()

    failed = []
    content = named['Auszug'].queryText().getText(0, -1)
    if heard.get('object:text-changed:insert') != content or '\r' in content:
        failed.append(f'inserted {heard.get("object:text-changed:insert")!r}, shown {content!r}')
    if 'object:text-caret-moved' not in heard:
        failed.append('no caret event')
    message = named['Meldung'].queryText().getText(0, -1)
    if 'Zeile 8, Spalte 5 ' not in message:
        failed.append(f'message: {message!r}')
    marked, attributes = mark(named['Auszug'])
    if marked != '<ZiroTipp>' or 'underline:single' not in attributes:
        failed.append(f'mark: {attributes!r} over {marked!r}')
    if '(Verstoß 2 von 2;' not in named['Auszug'].description:
        failed.append(f'description: {named["Auszug"].description!r}')
    numbers = named['Zeilennummern'].queryText().getText(0, -1)
    if numbers != '5\n6\n7\n8\n9\n10\n11':
        failed.append(f'line numbers: {numbers!r}')
    return failed


app = None
for _ in range(100):
    app = next((a for a in pyatspi.Registry.getDesktop(0) if a is not None and a.name.lower() == 'kavrin'), None)
    if app is not None and any(n.name == 'Auszug' for n in nodes(app)):
        break
    time.sleep(0.1)
if app is None:
    sys.exit('kavrin is not on the accessibility bus')
named = {n.name: n for n in nodes(app) if n.name}
failed = {'tree': tree, 'step': step}[sys.argv[1]](named)
print('\n'.join(failed) or f'{sys.argv[1]}: as it should be')
sys.exit(1 if failed else 0)
