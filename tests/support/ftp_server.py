#!/usr/bin/python3
"""A stand-in for the operator's FTP server, on 127.0.0.1.

Serves the program's one account with DIR as its root (creating web/ctrl/KB/Mandats there),
writes every command but the password to the log file, one line each ("STOR /web/ctrl/KB/KEY"),
and ends by itself after --lifetime seconds. With --port 0 it takes a free port; --port-file
then receives the port once the server listens.

Faults on request, to show what the client does when the server misbehaves:
  --hang                  accept every connection and then say nothing, ever;
  --die-after-download N  end the whole server at once when a download has sent N bytes;
  --die-after-upload N    end the whole server at once when an upload has received N bytes
                          (the bytes received so far stay in the file, as after a crash);
  --slow SECONDS          wait that long before each download and upload, each connection on a
                          thread of its own, so that two clients' transfers overlap.
"""
import argparse
import logging
import os
import sys
import time

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import DTPHandler, FTPHandler
from pyftpdlib.servers import FTPServer, ThreadedFTPServer

USER = "tqwz_lunarok"
PASSWORD = "Kq82^Tz4!mwrB%="


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--port", type=int, required=True)
    parser.add_argument("--root", required=True)
    parser.add_argument("--log", required=True)
    parser.add_argument("--lifetime", type=float, required=True)
    parser.add_argument("--port-file", help="file that receives the port once listening")
    parser.add_argument("--hang", action="store_true")
    parser.add_argument("--die-after-download", type=int)
    parser.add_argument("--die-after-upload", type=int)
    parser.add_argument("--slow", type=float, default=0)
    args = parser.parse_args()

    os.makedirs(os.path.join(args.root, "web", "ctrl", "KB", "Mandats"), exist_ok=True)
    log = open(args.log, "a", encoding="utf-8", buffering=1)
    logging.basicConfig(level=logging.CRITICAL)  # pyftpdlib's own chatter stays off

    class LoggingHandler(FTPHandler):
        def pre_process_command(self, line, cmd, arg):
            log.write("PASS ****\n" if cmd == "PASS" else (cmd + (" " + arg if arg else "")) + "\n")
            if args.slow > 0 and cmd in ("RETR", "STOR"):
                time.sleep(args.slow)
            super().pre_process_command(line, cmd, arg)

    class FaultyDTPHandler(DTPHandler):
        def send(self, data):
            limit = args.die_after_download
            if limit is not None and self.tot_bytes_sent + len(data) >= limit:
                data = data[:max(0, limit - self.tot_bytes_sent)]
                if data:
                    super().send(data)
                log.write("DIED after %d bytes sent\n" % (self.tot_bytes_sent))
                os._exit(3)
            return super().send(data)

        def handle_read(self):
            limit = args.die_after_upload
            if limit is None:
                return super().handle_read()
            chunk = self.recv(self.ac_in_buffer_size)
            if self.tot_bytes_received + len(chunk) >= limit:
                self.file_obj.write(chunk[:max(0, limit - self.tot_bytes_received)])
                self.file_obj.flush()
                log.write("DIED after %d bytes received\n" % limit)
                os._exit(3)
            self.tot_bytes_received += len(chunk)
            if not chunk:
                self.transfer_finished = True
                return
            self.file_obj.write(chunk)

        handle_read_event = handle_read  # the base class binds its own method under this name

    if args.hang:
        # The connection is accepted and then nothing comes: no greeting, no reply.
        LoggingHandler.handle = lambda self: None
    if args.die_after_download is not None or args.die_after_upload is not None:
        LoggingHandler.dtp_handler = FaultyDTPHandler
        LoggingHandler.use_sendfile = False  # every byte passes through send()

    authorizer = DummyAuthorizer()
    authorizer.add_user(USER, PASSWORD, os.path.abspath(args.root), perm="elradfmwMT")
    LoggingHandler.authorizer = authorizer
    LoggingHandler.passive_ports = None
    LoggingHandler.permit_foreign_addresses = False
    LoggingHandler.auth_failed_timeout = 0.1  # a refused sign-in answers at once

    server_class = ThreadedFTPServer if args.slow > 0 else FTPServer
    server = server_class(("127.0.0.1", args.port), LoggingHandler)
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
