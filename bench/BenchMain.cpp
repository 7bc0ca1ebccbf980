// vm_bench serve vsftpd|vsftpd-tls|proxy ROOT
// vm_bench fetch|fetch-passive HOST PORT PROXY|- PROXYPORT REMOTE LOCAL [REMOTE LOCAL]...
// vm_bench fetch-passive-tls HOST PORT CAFILE REMOTE LOCAL [REMOTE LOCAL]...
// vm_bench wait HOST PORT SECONDS
#include "bench/BenchModes.h"

#include <cstdio>
#include <string>

namespace {

int Usage()
{
    std::fputs("usage: vm_bench serve vsftpd|vsftpd-tls|proxy ROOT\n"
               "       vm_bench fetch|fetch-passive HOST PORT PROXY|- PROXYPORT REMOTE LOCAL [REMOTE LOCAL]...\n"
               "       vm_bench fetch-passive-tls HOST PORT CAFILE REMOTE LOCAL [REMOTE LOCAL]...\n"
               "       vm_bench wait HOST PORT SECONDS\n",
               stderr);
    return 2;
}

}  // namespace

int main(int argc, char **argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "serve" && argc == 4)
        return bench::Serve(argv[2], argv[3]);
    if (mode == "wait" && argc == 5) {
        try {
            return bench::Wait(argv[2], std::stoi(argv[3]), std::stoi(argv[4]));
        } catch (const std::exception &) {
            return Usage();
        }
    }
    // The first remote file's place: after the proxy and its port, or the CA file.
    const bool tls = mode == "fetch-passive-tls";
    const int first = tls ? 5 : 6;
    if ((mode != "fetch" && mode != "fetch-passive" && !tls) || argc < first + 2 || (argc - first) % 2 != 0)
        return Usage();
    bench::FetchJob job;
    job.passive = mode == "fetch-passive" || tls;
    try {
        job.host = argv[2];
        job.port = std::stoi(argv[3]);
        if (tls) {
            job.trustedCaFile = argv[4];
        } else if (std::string(argv[4]) != "-") {
            job.proxy = argv[4];
            job.proxyPort = std::stoi(argv[5]);
        }
    } catch (const std::exception &) {
        return Usage();
    }
    for (int i = first; i + 1 < argc; i += 2)
        job.files.emplace_back(argv[i], argv[i + 1]);
    return bench::Fetch(job);
}
