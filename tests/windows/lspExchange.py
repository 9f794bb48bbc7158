#!/usr/bin/python3
"""One editor's conversation with kavrin-lsp.exe under Wine, through pipes:
initialize, open a broken document, the diagnostic, shutdown and exit.
Usage: lspExchange.py WINE KAVRIN_LSP_EXE"""
import json
import subprocess
import sys

server = subprocess.Popen([sys.argv[1], sys.argv[2], '--stdio'], stdin=subprocess.PIPE, stdout=subprocess.PIPE)


def send(message):
    body = json.dumps(message).encode()
    server.stdin.write(b'Content-Length: %d\r\n\r\n' % len(body) + body)
    server.stdin.flush()


def receive():
    length = 0
    while True:
        line = server.stdout.readline()
        if line in (b'\r\n', b''):
            break
        if line.lower().startswith(b'content-length:'):
            length = int(line.split(b':')[1])
    return json.loads(server.stdout.read(length))


send({'jsonrpc': '2.0', 'id': 1, 'method': 'initialize', 'params': {'capabilities': {}}})
assert receive()['result']['capabilities']['positionEncoding'] == 'utf-16'
send({'jsonrpc': '2.0', 'method': 'initialized', 'params': {}})
text = ('<uvra><versionsNr>4.0</versionsNr><wsArt>47</wsArt><schein>'
        '<ziroTipp>01,02,03,04,05,46</ziroTipp></schein></uvra>')
send({'jsonrpc': '2.0', 'method': 'textDocument/didOpen',
      'params': {'textDocument': {'uri': 'untitled:tipps', 'languageId': 'tzv', 'version': 1, 'text': text}}})
diagnostic = receive()['params']['diagnostics'][0]
assert diagnostic['code'] == 'number-out-of-range', diagnostic
assert diagnostic['range']['start'] == {'line': 0, 'character': 84}, diagnostic
send({'jsonrpc': '2.0', 'id': 2, 'method': 'shutdown'})
assert receive()['result'] is None
send({'jsonrpc': '2.0', 'method': 'exit'})
assert server.wait(timeout=30) == 0
