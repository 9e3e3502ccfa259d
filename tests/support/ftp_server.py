"""FTP server on loopback for the publishing tests; run with Debian's /usr/bin/python3.

  ftp_server.py serve PORT HOME USER PASSWORD LOG
      An FTP server with one user whose login directory is HOME. It offers active mode only:
      PASV and EPSV are refused, so a client that tries passive mode cannot transfer.
  ftp_server.py silent PORT LOG
      Accepts TCP connections and never sends a byte.

Both print "ready" on standard output once they listen and append one line per event to LOG:
"CONNECT" for every accepted connection and, in serve mode, every command as received (the
password replaced by "***") and "RECEIVED <path>" / "INCOMPLETE <path>" after an upload.
SIGTERM ends the server after closing open files, so stored files are complete on disk.
"""

import errno
import logging
import signal
import socket
import sys
import time

BIND_ATTEMPT_SECONDS = 15


def record(log_path, line):
    with open(log_path, "a", encoding="utf-8", newline="\n") as log:
        log.write(line + "\n")


def listen_on_loopback(port, bind):
    """Binds, retrying for a while when the port is still held by a server that is ending."""
    deadline = time.monotonic() + BIND_ATTEMPT_SECONDS
    while True:
        try:
            return bind(port)
        except OSError as error:
            if error.errno != errno.EADDRINUSE or time.monotonic() > deadline:
                raise
            time.sleep(0.2)


def announce_ready():
    sys.stdout.write("ready\n")
    sys.stdout.flush()


def serve(port, home, user, password, log_path):
    from pyftpdlib.authorizers import DummyAuthorizer
    from pyftpdlib.handlers import FTPHandler
    from pyftpdlib.servers import FTPServer

    class ActiveOnlyHandler(FTPHandler):
        # Answer a wrong password at once instead of after the default pause.
        auth_failed_timeout = 0

        def on_connect(self):
            record(log_path, "CONNECT")

        def pre_process_command(self, line, cmd, arg):
            record(log_path, "PASS ***" if cmd == "PASS" else line)
            super().pre_process_command(line, cmd, arg)

        def ftp_PASV(self, line):
            self.respond("502 Passive mode is not offered here.")

        def ftp_EPSV(self, line):
            self.respond("502 Passive mode is not offered here.")

        def on_file_received(self, file):
            record(log_path, "RECEIVED " + file)

        def on_incomplete_file_received(self, file):
            record(log_path, "INCOMPLETE " + file)

    authorizer = DummyAuthorizer()
    authorizer.add_user(user, password, home, perm="elradfmwMT")
    ActiveOnlyHandler.authorizer = authorizer
    server = listen_on_loopback(
        port, lambda p: FTPServer(("127.0.0.1", p), ActiveOnlyHandler))
    announce_ready()
    server.serve_forever(handle_exit=True)


def silent(port, log_path):
    def bind(p):
        listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        try:
            listener.bind(("127.0.0.1", p))
        except OSError:
            listener.close()
            raise
        listener.listen(16)
        return listener

    listener = listen_on_loopback(port, bind)
    announce_ready()
    held = []  # kept open and unanswered until the server ends
    while True:
        connection, _ = listener.accept()
        held.append(connection)
        record(log_path, "CONNECT")


def main(argv):
    logging.basicConfig(level=logging.ERROR)
    # Turn SIGTERM into SystemExit so pyftpdlib closes its files on the way out.
    signal.signal(signal.SIGTERM, lambda signum, frame: sys.exit(0))
    if len(argv) == 7 and argv[1] == "serve":
        serve(int(argv[2]), argv[3], argv[4], argv[5], argv[6])
    elif len(argv) == 4 and argv[1] == "silent":
        silent(int(argv[2]), argv[3])
    else:
        sys.stderr.write(__doc__)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
