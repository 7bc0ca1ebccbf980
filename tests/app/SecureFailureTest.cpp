// The reason a box gives when a connection could not be secured.
#include "app/SecureFailure.h"

#include "tests/app/FormFixture.h"

#include <gtest/gtest.h>

TEST(SecureFailure, BuildWithoutTlsSaysSo)
{
    const TFtpClient client;
    EXPECT_EQ(SecureFailureText(ETlsError("no TLS", net::TlsFailure::Unavailable), client),
              Cp1250("Ta wersja programu nie obsługuje szyfrowania."));
}
