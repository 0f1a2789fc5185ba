#!/usr/bin/python3
"""A stand-in for the operator's and the product's web servers, on 127.0.0.1.

Serves the files under DIR (DIR/ctrl/kb.txt, DIR/downloads/...), answers 404 for anything else,
accepts POST requests to /ctrl/kb.php, and writes one line per request to the log file: method,
path (with its query, "?" included), Content-Type and body, separated by tabs, with backslash,
tab, CR and LF written as \\\\, \\t, \\r and \\n. It ends by itself after --lifetime seconds. With
--port 0 it takes a free port; --port-file then receives the port once the server listens. With
--tls-cert and --tls-key it speaks HTTPS.
"""
import argparse
import http.server
import os
import ssl
import sys
import threading
import time


def escape(text):
    return (text.replace("\\", "\\\\").replace("\t", "\\t").replace("\r", "\\r")
            .replace("\n", "\\n"))


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--port", type=int, required=True)
    parser.add_argument("--root", required=True)
    parser.add_argument("--log", required=True)
    parser.add_argument("--lifetime", type=float, required=True)
    parser.add_argument("--port-file", help="file that receives the port once listening")
    parser.add_argument("--tls-cert", help="serve HTTPS with this certificate (PEM)")
    parser.add_argument("--tls-key", help="the certificate's private key (PEM)")
    args = parser.parse_args()

    root = os.path.realpath(args.root)
    log = open(args.log, "a", encoding="utf-8", buffering=1)
    lock = threading.Lock()

    class Handler(http.server.BaseHTTPRequestHandler):
        def log_message(self, *unused):
            pass  # the request log below is the only output

        def record(self, body):
            line = "\t".join([self.command, escape(self.path),
                              escape(self.headers.get("Content-Type", "")),
                              escape(body.decode("latin-1"))])
            with lock:
                log.write(line + "\n")

        def answer(self, status, body, content_type="application/octet-stream"):
            self.send_response(status)
            self.send_header("Content-Type", content_type)
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            if self.command != "HEAD":
                self.wfile.write(body)

        def do_GET(self):
            self.record(b"")
            path = self.path.split("?", 1)[0]
            target = os.path.realpath(os.path.join(root, path.lstrip("/")))
            if not target.startswith(root + os.sep) or not os.path.isfile(target):
                self.answer(404, b"Not found\n", "text/plain")
                return
            with open(target, "rb") as f:
                self.answer(200, f.read())

        def do_POST(self):
            length = int(self.headers.get("Content-Length", "0") or "0")
            body = self.rfile.read(length) if length > 0 else b""
            self.record(body)
            if self.path.split("?", 1)[0] == "/ctrl/kb.php":
                self.answer(200, b"OK\n", "text/plain")
            else:
                self.answer(404, b"Not found\n", "text/plain")

    server = http.server.ThreadingHTTPServer(("127.0.0.1", args.port), Handler)
    server.daemon_threads = True
    if args.tls_cert:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(args.tls_cert, args.tls_key)
        server.socket = context.wrap_socket(server.socket, server_side=True)
    port = server.server_address[1]
    if args.port_file:
        tmp = args.port_file + ".tmp"
        with open(tmp, "w") as f:
            f.write(str(port))
        os.replace(tmp, args.port_file)

    thread = threading.Thread(target=server.serve_forever, kwargs={"poll_interval": 0.1},
                              daemon=True)
    thread.start()
    try:
        time.sleep(args.lifetime)
    except KeyboardInterrupt:
        pass
    server.shutdown()
    server.server_close()
    log.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
