"""An FTPS server of one session whose TLS (GnuTLS's, through ctypes) sends
records that decrypt to nothing, which OpenSSL never writes: after the login
over TLS 1.3, each TYPE is answered by that many records of padding alone,
then "200 Type set to I.".

Arguments: address port certfile keyfile count."""
import ctypes
import socket
import sys

address, port, certfile, keyfile, count = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4], int(sys.argv[5])

gnutls = ctypes.CDLL("libgnutls.so.30")
gnutls.gnutls_strerror.restype = ctypes.c_char_p
gnutls.gnutls_record_send.restype = ctypes.c_ssize_t
gnutls.gnutls_record_send.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_size_t]
gnutls.gnutls_record_send2.restype = ctypes.c_ssize_t
gnutls.gnutls_record_send2.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_size_t, ctypes.c_size_t,
                                       ctypes.c_uint]
gnutls.gnutls_record_recv.restype = ctypes.c_ssize_t
gnutls.gnutls_record_recv.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_size_t]
GNUTLS_SERVER = 1
GNUTLS_CRD_CERTIFICATE = 1
GNUTLS_X509_FMT_PEM = 1
GNUTLS_SHUT_WR = 1
# Bytes of padding in each empty record: TLS 1.3 lets a record carry padding
# and no content, where GnuTLS refuses a record of no bytes at all.
PADDING = 16


def check(result, what):
    if result < 0:
        raise RuntimeError(what + ": " + gnutls.gnutls_strerror(int(result)).decode())
    return result


def plain_line(connection):
    line = b""
    while not line.endswith(b"\n"):
        byte = connection.recv(1)
        if not byte:
            raise RuntimeError("the client left before AUTH TLS")
        line += byte
    return line


def secured(connection):
    credentials = ctypes.c_void_p()
    check(gnutls.gnutls_certificate_allocate_credentials(ctypes.byref(credentials)), "credentials")
    check(gnutls.gnutls_certificate_set_x509_key_file(credentials, certfile.encode(), keyfile.encode(),
                                                      GNUTLS_X509_FMT_PEM), "certificate")
    session = ctypes.c_void_p()
    check(gnutls.gnutls_init(ctypes.byref(session), GNUTLS_SERVER), "session")
    check(gnutls.gnutls_priority_set_direct(session, b"NORMAL:-VERS-ALL:+VERS-TLS1.3", None), "priority")
    check(gnutls.gnutls_credentials_set(session, GNUTLS_CRD_CERTIFICATE, credentials), "credentials")
    gnutls.gnutls_transport_set_int2(session, connection.fileno(), connection.fileno())
    check(gnutls.gnutls_handshake(session), "handshake")
    return session


def send(session, text):
    data = text.encode()
    check(gnutls.gnutls_record_send(session, data, len(data)), "send")


def commands(session):
    buffer = ctypes.create_string_buffer(4096)
    pending = b""
    while True:
        while b"\n" not in pending:
            received = check(gnutls.gnutls_record_recv(session, buffer, len(buffer)), "receive")
            if received == 0:
                return
            pending += buffer.raw[:received]
        line, pending = pending.split(b"\n", 1)
        yield line.strip().split(b" ")[0].upper().decode()


listener = socket.create_server((address, port))
connection, _ = listener.accept()
connection.sendall(b"220 Ready.\r\n")
plain_line(connection)
connection.sendall(b"234 Proceed.\r\n")
session = secured(connection)
replies = {"PBSZ": "200 PBSZ=0\r\n", "PROT": "200 Protection level set to P\r\n", "USER": "230 Logged in.\r\n"}
for command in commands(session):
    if command == "TYPE":
        for _ in range(count):
            check(gnutls.gnutls_record_send2(session, b"", 0, PADDING, 0), "empty record")
        send(session, "200 Type set to I.\r\n")
    elif command == "QUIT":
        send(session, "221 Goodbye.\r\n")
        gnutls.gnutls_bye(session, GNUTLS_SHUT_WR)
        break
    else:
        send(session, replies.get(command, "502 Not here.\r\n"))
