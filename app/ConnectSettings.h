#pragma once
// How the window's check connects: the limit on the lookup and the connect, and
// the report levels during the login (every step) and after it (replies only).
// The benchmarks connect the same way.
#include "sock/SockConst.h"

constexpr int ConnectTimeOutMs = 5000;
// How long the server may stay silent while the check waits for it.
constexpr int ReplyTimeOutMs = 30000;
constexpr int LoginReportLevel = SockConst::LevelErrorCheck;
constexpr int SessionReportLevel = SockConst::LevelReply;
