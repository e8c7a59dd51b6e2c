#!/usr/bin/env python3
"""A time-stamp authority for the package test, on this machine only:

    tsa.py CONFIG PORT_FILE

answers RFC 3161 requests (HTTP POST of application/timestamp-query) with
`openssl ts -reply -config CONFIG`, on a free port of 127.0.0.1 that it
writes into PORT_FILE once it listens. It runs until it is killed.
"""
import http.server
import os
import subprocess
import sys
import tempfile


class TimeStampHandler(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        length = int(self.headers.get("Content-Length", "0"))
        query = self.rfile.read(length)
        with tempfile.TemporaryDirectory() as work:
            query_file = os.path.join(work, "query.tsq")
            reply_file = os.path.join(work, "reply.tsr")
            with open(query_file, "wb") as out:
                out.write(query)
            made = subprocess.run(
                ["openssl", "ts", "-reply", "-config", sys.argv[1], "-queryfile", query_file,
                 "-out", reply_file], capture_output=True)
            if made.returncode != 0:
                self.send_error(500, made.stderr.decode(errors="replace")[:200])
                return
            with open(reply_file, "rb") as reply:
                body = reply.read()
        self.send_response(200)
        self.send_header("Content-Type", "application/timestamp-reply")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


def main():
    server = http.server.HTTPServer(("127.0.0.1", 0), TimeStampHandler)
    with open(sys.argv[2] + ".new", "w") as port_file:
        port_file.write(str(server.server_address[1]))
    os.replace(sys.argv[2] + ".new", sys.argv[2])
    server.serve_forever()


if __name__ == "__main__":
    main()
