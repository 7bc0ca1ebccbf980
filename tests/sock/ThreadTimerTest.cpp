#include "platform/ApplicationErrors.h"
#include "sock/ThreadTimer.h"
#include "tests/support/NetTestSupport.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

using namespace testsupport;

TEST(SockThreadTimer, RunsOnlyWithIntervalEnabledAndHandler)
{
    TThreadTimer timer;
    EXPECT_TRUE(timer.Enabled());
    EXPECT_EQ(timer.Interval(), 1000u);
    int ticks = 0;
    timer.SetInterval(0);
    timer.SetOnTimer([&](TThreadTimer *) { ++ticks; });
    PumpFor(100ms);
    EXPECT_EQ(ticks, 0);

    timer.SetInterval(20);
    EXPECT_TRUE(PumpUntil([&] { return ticks >= 2; }));

    timer.SetEnabled(false);
    const int stopped = ticks;
    PumpFor(80ms);
    EXPECT_EQ(ticks, stopped);
}

TEST(SockThreadTimer, ErrorOfAHandlerGoesToTheApplicationAndTheTimerGoesOn)
{
    std::string shown;
    auto previous = ApplicationErrors::SetHandler([&](const std::exception &e) { shown = e.what(); });
    TThreadTimer timer;
    int ticks = 0;
    timer.SetInterval(20);
    timer.SetOnTimer([&](TThreadTimer *) {
        if (++ticks == 1)
            throw std::runtime_error("tick failed");
    });
    EXPECT_TRUE(PumpUntil([&] { return ticks >= 2; }));
    ApplicationErrors::SetHandler(previous);
    EXPECT_EQ(shown, "tick failed");
}
