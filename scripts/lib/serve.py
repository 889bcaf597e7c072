#!/usr/bin/env python3
"""Serves a folder on 127.0.0.1, on a free port, with the types a web app needs, and says
where. Stops with Ctrl-C.

Usage: serve.py FOLDER
"""
import functools
import http.server
import sys

TYPES = {".wasm": "application/wasm", ".mjs": "text/javascript", ".js": "text/javascript",
         ".webmanifest": "application/manifest+json", ".woff2": "font/woff2"}


class Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map, **TYPES}

    def log_message(self, format, *args):
        pass


def main(folder):
    handler = functools.partial(Handler, directory=folder)
    with http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler) as server:
        print(f"orvane: serving {folder} at http://127.0.0.1:{server.server_address[1]}/ "
              "(Ctrl-C stops)", flush=True)
        try:
            server.serve_forever()
        except KeyboardInterrupt:
            pass


if __name__ == "__main__":
    main(sys.argv[1])
