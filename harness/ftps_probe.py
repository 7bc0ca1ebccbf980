"""An independent, verifying FTPS client that checks the test servers: AUTH TLS
against a CA file (the name checked is the host), PBSZ 0 and PROT P, then one
file in the given data mode, each data connection resuming the control
connection's TLS session (unless told "fresh") and ending with TLS's
close_notify. Prints every server reply, one per line, and
"control TLSv1.x" and "data TLSv1.x resumed|new" lines.

Arguments: host port cafile remote local active|passive [fresh]."""
import ftplib
import ssl
import sys

host, port, cafile, remote, local, mode = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4], sys.argv[5], sys.argv[6]
fresh = sys.argv[7:] == ["fresh"]


class Probe(ftplib.FTP_TLS):
    # ftplib itself starts a new session on every data connection, and takes
    # a data connection closed without TLS's close_notify for a complete one.
    def ntransfercmd(self, cmd, rest=None):
        conn, size = ftplib.FTP.ntransfercmd(self, cmd, rest)
        conn = self.context.wrap_socket(conn, server_hostname=self.host, session=None if fresh else self.sock.session,
                                        suppress_ragged_eofs=False)
        print("data", conn.version(), "resumed" if conn.session_reused else "new")
        return conn, size


context = ssl.create_default_context(cafile=cafile)
# Python sets it by default; without it OpenSSL reports a close that was no TLS close.
context.options &= ~ssl.OP_IGNORE_UNEXPECTED_EOF
ftp = Probe(context=context, timeout=30)
print(ftp.connect(host, port))
print(ftp.auth())
print("control", ftp.sock.version())
print(ftp.login("anonymous", "probe@example.org"))
print(ftp.prot_p())
ftp.set_pasv(mode == "passive")
with open(local, "wb") as out:
    print(ftp.retrbinary("RETR " + remote, out.write))
print(ftp.quit())
