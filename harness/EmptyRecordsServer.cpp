#include "harness/EmptyRecordsServer.h"

#include "harness/Loopback.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace harness {

EmptyRecordsServer::EmptyRecordsServer(const CertificateFiles &tls, int count)
{
    host_ = "127.0.0.1";
    // A free port can be taken by someone else before the server binds it.
    for (int attempt = 0; attempt < 3; ++attempt) {
        port_ = FreePort(host_);
        const std::vector<std::string> argv{"/usr/bin/python3", VM_HARNESS_DIR "/empty_records_server.py", host_,
                                            std::to_string(port_), tls.certFile, tls.keyFile, std::to_string(count)};
        process_ = std::make_unique<ServerProcess>(argv, work_ / "server.log");
        if (WaitUntilListening(host_, port_, *process_))
            return;
    }
    throw std::runtime_error("the empty-records server did not start:\n" + process_->Log());
}

}  // namespace harness
