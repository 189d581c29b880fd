"""A throw-away FTP server for the update tests: serves ROOT on 127.0.0.1, a free port.

ftp_server.py ROOT PORT_FILE [--user U --password P] [--tls CERT KEY] [--no-mlsd]
The port is written to PORT_FILE once the server listens. Anonymous users may read only.
"""
import argparse
import os
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("root")
    ap.add_argument("port_file")
    ap.add_argument("--user")
    ap.add_argument("--password", default="")
    ap.add_argument("--tls", nargs=2, metavar=("CERT", "KEY"))
    ap.add_argument("--no-mlsd", action="store_true")
    a = ap.parse_args()

    authorizer = DummyAuthorizer()
    if a.user:
        authorizer.add_user(a.user, a.password, a.root, perm="elr")
    else:
        authorizer.add_anonymous(a.root)
    handler = FTPHandler
    if a.tls:
        from pyftpdlib.handlers import TLS_DTPHandler, TLS_FTPHandler

        class DataChannel(TLS_DTPHandler):
            # Clients may start the data channel's handshake before the transfer command; the
            # stock handler takes that early traffic for a hang-up.
            def readable(self):
                return self._ssl_accepting or super().readable()

        handler = TLS_FTPHandler
        handler.certfile, handler.keyfile = a.tls
        handler.dtp_handler = DataChannel
        # Clients resume the control channel's TLS session on the data channel: that needs a
        # session id context, which the server's default context lacks.
        handler.get_ssl_context().set_session_id(b"tarvik-test")
        handler.tls_control_required = True
        handler.tls_data_required = True
    handler.authorizer = authorizer
    handler.banner = "test server"
    handler.auth_failed_timeout = 0.1
    if a.no_mlsd:
        handler.proto_cmds = {k: v for k, v in handler.proto_cmds.items() if k not in ("MLSD", "MLST")}
    server = FTPServer(("127.0.0.1", 0), handler)
    port = server.socket.getsockname()[1]
    tmp = a.port_file + ".tmp"
    with open(tmp, "w") as f:
        f.write(str(port))
    os.replace(tmp, a.port_file)
    server.serve_forever(handle_exit=True)


if __name__ == "__main__":
    sys.exit(main())
