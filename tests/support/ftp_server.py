#!/usr/bin/python3
"""A stand-in for the operator's FTP server, on 127.0.0.1.

Serves the program's one account with DIR as its root (creating web/ctrl/KB/Mandats there),
writes every command but the password to the log file, one line each ("STOR /web/ctrl/KB/KEY"),
and ends by itself after --lifetime seconds. With --port 0 it takes a free port; --port-file
then receives the port once the server listens.
"""
import argparse
import logging
import os
import sys
import time

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer

USER = "tqwz_lunarok"
PASSWORD = "Kq82^Tz4!mwrB%="


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--port", type=int, required=True)
    parser.add_argument("--root", required=True)
    parser.add_argument("--log", required=True)
    parser.add_argument("--lifetime", type=float, required=True)
    parser.add_argument("--port-file", help="file that receives the port once listening")
    args = parser.parse_args()

    os.makedirs(os.path.join(args.root, "web", "ctrl", "KB", "Mandats"), exist_ok=True)
    log = open(args.log, "a", encoding="utf-8", buffering=1)
    logging.basicConfig(level=logging.CRITICAL)  # pyftpdlib's own chatter stays off

    class LoggingHandler(FTPHandler):
        def pre_process_command(self, line, cmd, arg):
            log.write("PASS ****\n" if cmd == "PASS" else (cmd + (" " + arg if arg else "")) + "\n")
            super().pre_process_command(line, cmd, arg)

    authorizer = DummyAuthorizer()
    authorizer.add_user(USER, PASSWORD, os.path.abspath(args.root), perm="elradfmwMT")
    LoggingHandler.authorizer = authorizer
    LoggingHandler.passive_ports = None
    LoggingHandler.permit_foreign_addresses = False
    LoggingHandler.auth_failed_timeout = 0.1  # a refused sign-in answers at once

    server = FTPServer(("127.0.0.1", args.port), LoggingHandler)
    port = server.socket.getsockname()[1]
    if args.port_file:
        tmp = args.port_file + ".tmp"
        with open(tmp, "w") as f:
            f.write(str(port))
        os.replace(tmp, args.port_file)

    deadline = time.monotonic() + args.lifetime
    try:
        while time.monotonic() < deadline:
            server.serve_forever(timeout=0.2, blocking=False)
    except KeyboardInterrupt:
        pass
    finally:
        server.close_all()
        log.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
