Content-Length: 58

{"jsonrpc":"2.0","id":1,"method":"initialize","params":{}}noise

Content-Length: 2

{}Content-Length: -1

Content-Length: 7 
Content-Type: x

[1,2,3]garbageContent-Length: 50

{"jsonrpc":"2.0","id":{"a":1},"method":"shutdown"}Content-Length: 145

{"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":"file:///nonexistent/a%20b.tzv","version":"x","text":"<uvra>"}}}Content-Length: 173

{"jsonrpc":"2.0","method":"textDocument/didChange","params":{"textDocument":{"uri":"file:///nonexistent/a%20b.tzv","version":2},"contentChanges":[{"text":"x"},{"range":1}]}}Content-Length: 44

{"jsonrpc":"2.0","id":4,"method":"shutdown"}