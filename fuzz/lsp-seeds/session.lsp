Content-Length: 126

{"jsonrpc": "2.0", "id": 1, "method": "initialize", "params": {"capabilities": {"general": {"positionEncodings": ["utf-8"]}}}}Content-Length: 474

{"jsonrpc": "2.0", "method": "textDocument/didOpen", "params": {"textDocument": {"uri": "file:///a.tzv", "languageId": "tzv", "version": 1, "text": "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- Tippscheine für die Ziehung am Samstag -->\n<uvra>\n  <versionsNr>4.0</versionsNr>\n  <wsArt>47</wsArt>\n  <schein>\n    <ziroTipp>03,11,19,27,38,45</ziroTipp>\n    <ziroTipp>05,12,18,33,41,46</ziroTipp>\n    <ziroTipp>01,02,03,04,05,06</ziroTipp>\n  </schein>\n</uvra>\n"}}}Content-Length: 251

{"jsonrpc": "2.0", "method": "textDocument/didChange", "params": {"textDocument": {"uri": "file:///a.tzv", "version": 2}, "contentChanges": [{"range": {"start": {"line": 7, "character": 29}, "end": {"line": 7, "character": 31}}, "text": "ä😀\r"}]}}Content-Length: 166

{"jsonrpc": "2.0", "method": "textDocument/didChange", "params": {"textDocument": {"uri": "file:///a.tzv", "version": 3}, "contentChanges": [{"text": "<uvra>\r\n"}]}}Content-Length: 107

{"jsonrpc": "2.0", "method": "textDocument/didClose", "params": {"textDocument": {"uri": "file:///a.tzv"}}}Content-Length: 49

{"jsonrpc": "2.0", "id": 2, "method": "shutdown"}Content-Length: 36

{"jsonrpc": "2.0", "method": "exit"}