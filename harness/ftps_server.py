"""Serves a directory read-only to anonymous users over explicit FTPS (AUTH
TLS), with TLS required on the control and on every data connection.

Arguments: address port root certfile keyfile."""
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import TLS_FTPHandler
from pyftpdlib.servers import FTPServer

address, port, root, certfile, keyfile = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4], sys.argv[5]
authorizer = DummyAuthorizer()
authorizer.add_anonymous(root)
handler = TLS_FTPHandler
handler.authorizer = authorizer
handler.certfile = certfile
handler.keyfile = keyfile
handler.tls_control_required = True
handler.tls_data_required = True
FTPServer((address, port), handler).serve_forever()
