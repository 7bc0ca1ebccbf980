"""An independent FTP client that checks the test servers: logs in, fetches one
file in active mode and prints every server reply, one per line."""
import ftplib
import sys

host, port, user, remote, local = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4], sys.argv[5]
ftp = ftplib.FTP(timeout=60)
print(ftp.connect(host, port))
print(ftp.login(user, "probe@example.org"))
ftp.set_pasv(False)
with open(local, "wb") as out:
    print(ftp.retrbinary("RETR " + remote, out.write))
print(ftp.quit())
