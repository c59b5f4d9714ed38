#!/usr/bin/env python3
"""Serves a folder (the browser version's site) on 127.0.0.1 and prints its address.

    tools/web_serve.py [folder] [port]

The port is 8028 unless given; 0 takes any free one. Only this machine can reach it.
"""
import functools
import http.server
import sys


class Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      ".wasm": "application/wasm", ".js": "text/javascript",
                      ".data": "application/octet-stream"}

    def end_headers(self):
        # A fresh build is seen at the next reload.
        self.send_header("Cache-Control", "no-cache")
        super().end_headers()

    def log_message(self, *args):
        pass


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else "build/web/site"
    port = int(sys.argv[2]) if len(sys.argv) > 2 else 8028
    server = http.server.ThreadingHTTPServer(
        ("127.0.0.1", port), functools.partial(Handler, directory=folder))
    print(f"http://127.0.0.1:{server.server_address[1]}/", flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    main()
