#!/usr/bin/python3
"""One editor's conversation with kavrin-lsp.exe under Wine: initialize, open
a broken document and get its diagnostic, change it and get the new one,
shutdown and exit.

Usage: lspExchange.py WINE KAVRIN_LSP_EXE [PIPE_RELAY_EXE]

Without a relay the server's standard streams are Unix pipes, which Wine
cannot look into; through pipeRelay.exe they are Windows pipes, as an editor
on Windows gives them. Either way the diagnostics must arrive with no
further message.
"""
import json
import select
import subprocess
import sys

# Long enough for Wine to start; only a server that never answers waits it out.
ANSWER_WITHIN_SECONDS = 30

wine, server_exe = sys.argv[1], sys.argv[2]
relay = sys.argv[3] if len(sys.argv) > 3 else None
command = [wine, relay, server_exe] if relay else [wine, server_exe, '--stdio']
server = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE)


def framed(message):
    body = json.dumps(message).encode()
    return b'Content-Length: %d\r\n\r\n' % len(body) + body


def send(message):
    send_together([message])


def send_together(messages):
    server.stdin.write(b''.join(framed(m) for m in messages))
    server.stdin.flush()


def waiting(seconds):
    return select.select([server.stdout], [], [], seconds)[0]


def receive():
    assert waiting(ANSWER_WITHIN_SECONDS), 'no message from the server'
    length = 0
    while True:
        line = server.stdout.readline()
        if line in (b'\r\n', b''):
            break
        if line.lower().startswith(b'content-length:'):
            length = int(line.split(b':')[1])
    return json.loads(server.stdout.read(length))


def document(last_number, version):
    text = ('<uvra><versionsNr>4.0</versionsNr><wsArt>47</wsArt><schein>'
            f'<ziroTipp>01,02,03,04,05,{last_number}</ziroTipp></schein></uvra>')
    return {'uri': 'untitled:tipps', 'languageId': 'tzv', 'version': version, 'text': text}


send({'jsonrpc': '2.0', 'id': 1, 'method': 'initialize', 'params': {'capabilities': {}}})
assert receive()['result']['capabilities']['positionEncoding'] == 'utf-16'
# Both in one write, as an editor often sends them: the second is handled
# without waiting for more input.
send_together([{'jsonrpc': '2.0', 'method': 'initialized', 'params': {}},
               {'jsonrpc': '2.0', 'method': 'textDocument/didOpen', 'params': {'textDocument': document(46, 1)}}])
diagnostic = receive()['params']['diagnostics'][0]
assert diagnostic['code'] == 'number-out-of-range', diagnostic
assert diagnostic['range']['start'] == {'line': 0, 'character': 84}, diagnostic

changed = document(45, 2)
send({'jsonrpc': '2.0', 'method': 'textDocument/didChange',
      'params': {'textDocument': {'uri': changed['uri'], 'version': 2}, 'contentChanges': [{'text': changed['text']}]}})
published = receive()['params']
assert published['version'] == 2 and published['diagnostics'] == [], published
send({'jsonrpc': '2.0', 'id': 2, 'method': 'shutdown'})
assert receive()['result'] is None
send({'jsonrpc': '2.0', 'method': 'exit'})
assert server.wait(timeout=ANSWER_WITHIN_SECONDS) == 0
