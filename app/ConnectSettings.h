#pragma once
// How the window's check connects: the limit on the lookup and the connect, and
// the report levels during the login (every step) and after it (replies only).
// The benchmarks connect the same way; their downloads have no size limit.
#include "sock/SockConst.h"

#include <cstdint>

constexpr int ConnectTimeOutMs = 5000;
// How long the server may stay silent while the check waits for it.
constexpr int ReplyTimeOutMs = 30000;
// The most bytes one downloaded file may have: the two files are small, and a
// broken or hostile server must not fill the program directory's disk.
constexpr int64_t DownloadLimitBytes = int64_t{64} << 20;
constexpr int LoginReportLevel = SockConst::LevelErrorCheck;
constexpr int SessionReportLevel = SockConst::LevelReply;
