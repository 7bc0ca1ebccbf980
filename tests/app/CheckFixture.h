#pragma once
// What the tests of the check share: a product pointing at a server, and the
// order of the status texts.
#include "tests/app/FormFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

class Check : public FormFixture {
protected:
    // The installed product and settings pointing at Host:Port, then the start.
    void StartFor(const std::string &host, int port)
    {
        PrepareProduct(host, port);
        EXPECT_EQ(Start(), "");
    }
    // Fails unless every text appears among the status texts, in this order.
    void ExpectStatusesInOrder(const std::vector<std::string> &texts) const
    {
        auto at = view->statuses.begin();
        for (const std::string &text : texts) {
            at = std::find(at, view->statuses.end(), text);
            ASSERT_NE(at, view->statuses.end()) << "no status \"" << text << "\" in order";
            ++at;
        }
    }
};
