Content-Length: 5

{bad}Content-Length: x

Content-Type: a

Content-Length: 126

{"jsonrpc": "2.0", "id": 1, "method": "initialize", "params": {"capabilities": {"general": {"positionEncodings": ["utf-8"]}}}}