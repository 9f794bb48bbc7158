Content-Length: 147

{"jsonrpc":"2.0","id":1,"method":"initialize","params":{"capabilities":{"textDocument":{"completion":{"completionItem":{"snippetSupport":true}}}}}}Content-Length: 52

{"jsonrpc":"2.0","method":"initialized","params":{}}Content-Length: 287

{"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument": {"uri": "file:///a.tzv", "languageId": "tzv", "version": 1, "text": "<uvra>\n  <versionsNr>4.0</versionsNr>\n  <wsArt>47</wsArt>\n  <schein>\n    <ziroTipp>01,02,03,04,05,46</ziroTipp>\n  </schein>\n</uvra>\n"}}}Content-Length: 144

{"jsonrpc":"2.0","id":2,"method":"textDocument/hover","params":{"textDocument":{"uri":"file:///a.tzv"},"position":{"line":0,"character":1e300}}}Content-Length: 141

{"jsonrpc":"2.0","id":3,"method":"textDocument/hover","params":{"textDocument":{"uri":"file:///a.tzv"},"position":{"line":-1,"character":0}}}Content-Length: 149

{"jsonrpc":"2.0","id":4,"method":"textDocument/hover","params":{"textDocument":{"uri":"file:///a.tzv"},"position":{"line":0,"character":4294967296}}}Content-Length: 142

{"jsonrpc":"2.0","id":5,"method":"textDocument/hover","params":{"textDocument":{"uri":"file:///a.tzv"},"position":{"line":"3","character":0}}}Content-Length: 143

{"jsonrpc":"2.0","id":6,"method":"textDocument/hover","params":{"textDocument":{"uri":"file:///a.tzv"},"position":{"line":4,"character":-0.5}}}Content-Length: 159

{"jsonrpc":"2.0","id":7,"method":"textDocument/hover","params":{"textDocument":{"uri":"file:///a.tzv"},"position":{"line":18446744073709551615,"character":0}}}Content-Length: 158

{"jsonrpc":"2.0","id":8,"method":"textDocument/hover","params":{"textDocument":{"uri":"file:///a.tzv"},"position":{"line":4294967295,"character":4294967295}}}Content-Length: 149

{"jsonrpc":"2.0","id":9,"method":"textDocument/completion","params":{"textDocument":{"uri":"file:///a.tzv"},"position":{"line":0,"character":1e300}}}Content-Length: 147

{"jsonrpc":"2.0","id":10,"method":"textDocument/completion","params":{"textDocument":{"uri":"file:///a.tzv"},"position":{"line":-1,"character":0}}}Content-Length: 155

{"jsonrpc":"2.0","id":11,"method":"textDocument/completion","params":{"textDocument":{"uri":"file:///a.tzv"},"position":{"line":0,"character":4294967296}}}Content-Length: 148

{"jsonrpc":"2.0","id":12,"method":"textDocument/completion","params":{"textDocument":{"uri":"file:///a.tzv"},"position":{"line":"3","character":0}}}Content-Length: 149

{"jsonrpc":"2.0","id":13,"method":"textDocument/completion","params":{"textDocument":{"uri":"file:///a.tzv"},"position":{"line":4,"character":-0.5}}}Content-Length: 165

{"jsonrpc":"2.0","id":14,"method":"textDocument/completion","params":{"textDocument":{"uri":"file:///a.tzv"},"position":{"line":18446744073709551615,"character":0}}}Content-Length: 164

{"jsonrpc":"2.0","id":15,"method":"textDocument/completion","params":{"textDocument":{"uri":"file:///a.tzv"},"position":{"line":4294967295,"character":4294967295}}}Content-Length: 157

{"jsonrpc":"2.0","id":16,"method":"textDocument/documentHighlight","params":{"textDocument":{"uri":"file:///a.tzv"},"position":{"line":0,"character":1e300}}}Content-Length: 154

{"jsonrpc":"2.0","id":17,"method":"textDocument/documentHighlight","params":{"textDocument":{"uri":"file:///a.tzv"},"position":{"line":-1,"character":0}}}Content-Length: 162

{"jsonrpc":"2.0","id":18,"method":"textDocument/documentHighlight","params":{"textDocument":{"uri":"file:///a.tzv"},"position":{"line":0,"character":4294967296}}}Content-Length: 155

{"jsonrpc":"2.0","id":19,"method":"textDocument/documentHighlight","params":{"textDocument":{"uri":"file:///a.tzv"},"position":{"line":"3","character":0}}}Content-Length: 156

{"jsonrpc":"2.0","id":20,"method":"textDocument/documentHighlight","params":{"textDocument":{"uri":"file:///a.tzv"},"position":{"line":4,"character":-0.5}}}Content-Length: 172

{"jsonrpc":"2.0","id":21,"method":"textDocument/documentHighlight","params":{"textDocument":{"uri":"file:///a.tzv"},"position":{"line":18446744073709551615,"character":0}}}Content-Length: 171

{"jsonrpc":"2.0","id":22,"method":"textDocument/documentHighlight","params":{"textDocument":{"uri":"file:///a.tzv"},"position":{"line":4294967295,"character":4294967295}}}Content-Length: 218

{"jsonrpc":"2.0","id":23,"method":"textDocument/codeAction","params":{"textDocument":{"uri":"file:///a.tzv"},"range":{"start":{"line":0,"character":-1},"end":{"line":1e300,"character":0}},"context":{"diagnostics":[]}}}Content-Length: 224

{"jsonrpc":"2.0","method":"textDocument/didChange","params":{"textDocument":{"uri":"file:///a.tzv","version":2},"contentChanges":[{"range":{"start":{"line":-1,"character":0},"end":{"line":0,"character":1e300}},"text":"x"}]}}Content-Length: 154

{"jsonrpc":"2.0","id":24,"method":"textDocument/formatting","params":{"textDocument":{"uri":"file:///a.tzv"},"options":{"tabSize":2,"insertSpaces":true}}}Content-Length: 112

{"jsonrpc":"2.0","id":25,"method":"textDocument/foldingRange","params":{"textDocument":{"uri":"file:///a.tzv"}}}Content-Length: 63

{"jsonrpc":"2.0","method":"$/cancelRequest","params":{"id":25}}Content-Length: 59

{"jsonrpc":"2.0","id":26,"method":"shutdown","params":null}Content-Length: 47

{"jsonrpc":"2.0","method":"exit","params":null}