// The real servers are Linux programs: on Windows the benchmark only fetches
// and waits, from servers that "vm_bench serve" started on the Linux side.
#include "bench/BenchModes.h"

#include <iostream>

namespace bench {

int Serve(const std::string &, const std::string &)
{
    std::cerr << "vm_bench: serve runs on Linux; here only fetch and wait\n";
    return 2;
}

}  // namespace bench
