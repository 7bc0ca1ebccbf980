// vm_bench.exe, the check as the window makes it, downloads the largest news
// file the program takes (64 MiB) from vsftpd byte for byte, in active and in
// passive mode.
#include "harness/FtpFiles.h"
#include "harness/RealFtpServers.h"
#include "harness/client/ServicePaths.h"
#include "platform/detail/WideTextWindows.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

constexpr std::size_t LargestNews = 64 << 20;
constexpr DWORD RunLimitMs = 120000;

// Runs vm_bench.exe with Arguments (none holds a space or a quote); its exit
// code, or -1 when it could not start or ran past the limit.
int RunBench(const std::vector<std::string> &arguments)
{
    const std::wstring program = WideText::FromUtf8(harness::LocalPath(VM_BENCH_PROGRAM));
    std::wstring line = L"vm_bench.exe";
    for (const std::string &argument : arguments)
        line += L" " + WideText::FromUtf8(argument);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process))
        return -1;
    ::CloseHandle(process.hThread);
    DWORD code = DWORD(-1);
    if (::WaitForSingleObject(process.hProcess, RunLimitMs) == WAIT_OBJECT_0)
        ::GetExitCodeProcess(process.hProcess, &code);
    else
        ::TerminateProcess(process.hProcess, code);
    ::CloseHandle(process.hProcess);
    return int(code);
}

class BenchFetch : public ::testing::TestWithParam<std::string> {
protected:
    const std::string content = harness::PatternBytes(LargestNews);
    harness::FtpFiles files;
    harness::TempDir local;
};

TEST_P(BenchFetch, LargestNewsFileArrivesWhole)
{
    files.Write("pub/news/big.bin", content);
    const harness::VsftpdServer server(files.Path());

    EXPECT_EQ(RunBench({GetParam(), server.Host(), std::to_string(server.Port()), "-", "0", "pub/news/big.bin",
                        local / "big.bin"}),
              0);
    const std::string got = local.Read("big.bin");
    EXPECT_EQ(got.size(), content.size());
    EXPECT_TRUE(got == content) << "the bytes differ";
}

INSTANTIATE_TEST_SUITE_P(Modes, BenchFetch, ::testing::Values("fetch", "fetch-passive"),
                         [](const auto &mode) { return mode.param == "fetch" ? "Active" : "Passive"; });

} // namespace
