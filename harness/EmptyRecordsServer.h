#pragma once
// An FTPS server of one session on 127.0.0.1 whose TLS sends records that
// decrypt to nothing, which no server built on OpenSSL can (OpenSSL never
// writes an empty record): GnuTLS's TLS 1.3 sends records of padding alone
// (harness/empty_records_server.py). It logs anyone in, and answers each TYPE
// with Count such records in a row before "200 Type set to I.".
#include "harness/FtpFiles.h"
#include "harness/RealFtpServers.h"
#include "harness/ServerProcess.h"

#include <memory>

namespace harness {

class EmptyRecordsServer : public FtpEndpoint {
public:
    EmptyRecordsServer(const CertificateFiles &tls, int count);

private:
    TempDir work_;
    std::unique_ptr<ServerProcess> process_;
};

}  // namespace harness
