#!/usr/bin/python3
"""Serves the built page on 127.0.0.1 as a static host should: with its
Content-Security-Policy as a header on every file, since a worker takes its
policy from the header of its own script and never from the page's <meta>.

Usage: serve.py SITE_DIR PORT
"""
import functools
import http.server
import re
import sys


def policy_of(site):
    """The page's own policy, and what a <meta> policy cannot carry."""
    with open(f'{site}/index.html', encoding='utf-8') as page:
        meta = re.search(r'http-equiv="Content-Security-Policy"\s+content="([^"]+)"', page.read())
    return meta.group(1) + "; frame-ancestors 'none'"


class SiteHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map, '.js': 'text/javascript',
                      '.wasm': 'application/wasm', '.webmanifest': 'application/manifest+json'}
    policy = None  # no headers: a host that cannot send them
    quiet = False

    def end_headers(self):
        if self.policy:
            self.send_header('Content-Security-Policy', self.policy)
            self.send_header('Referrer-Policy', 'no-referrer')
            self.send_header('X-Content-Type-Options', 'nosniff')
        super().end_headers()

    def log_message(self, *args):
        if not self.quiet:
            super().log_message(*args)


class SiteServer(http.server.ThreadingHTTPServer):
    def handle_error(self, request, client_address):
        # A browser that stops a download it no longer needs is no fault.
        if not isinstance(sys.exc_info()[1], ConnectionError):
            super().handle_error(request, client_address)


def server(site, port=0, headers=True, quiet=False):
    """A server for the folder on 127.0.0.1; port 0 takes a free one."""
    handler = type('Handler', (SiteHandler,), {'policy': policy_of(site) if headers else None, 'quiet': quiet})
    return SiteServer(('127.0.0.1', port), functools.partial(handler, directory=site))


if __name__ == '__main__':
    site, port = sys.argv[1], int(sys.argv[2])
    print(f'http://127.0.0.1:{port}/', flush=True)
    server(site, port).serve_forever()
