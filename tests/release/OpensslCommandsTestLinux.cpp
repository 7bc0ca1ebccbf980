// The tool beside the openssl commands a maker may use instead: each side
// verifies the other's signatures over the same message, and each opens the
// other's encrypted keys.
#include "tests/release/ToolTest.h"

#include <cstdlib>
#include <string>

namespace {

class OpensslCommands : public ToolTest {
protected:
    // Runs a shell command in the test's directory, bounded in time; whether it succeeded.
    bool Shell(const std::string &command)
    {
        return std::system(("cd '" + temp.Path() + "' && timeout 30 sh -c '" + command + "' >/dev/null 2>&1").c_str()) ==
               0;
    }

    // The signed message of NAME: its bare name, LF, its bytes.
    static std::string Message(const std::string &name) { return "{ printf \"%s\\n\" " + name + "; cat " + name + "; }"; }
};

TEST_F(OpensslCommands, EachSideVerifiesTheOthersSignatures)
{
    const std::string file = Put("or_news.inf", "[Program]\r\nWersja=5.2\r\nLastUpd=2026/11/30\r\n");
    ASSERT_EQ(Run({"keys", temp / "maker"}, "pass phrase\n").Status, 0);
    EXPECT_TRUE(Shell("openssl pkey -in maker.key -passin pass:\"pass phrase\" -noout"));
    EXPECT_FALSE(Shell("openssl pkey -in maker.key -passin pass:\"pass phrasf\" -noout"));

    ASSERT_EQ(Run({"sign", file, temp / "maker.key"}, "pass phrase\n").Status, 0);
    EXPECT_TRUE(Shell(Message("or_news.inf") +
                      " | openssl dgst -sha256 -verify maker.pem -signature or_news.inf.sig"));
    EXPECT_FALSE(Shell(Message("sv_news.inf") +
                       " | openssl dgst -sha256 -verify maker.pem -signature or_news.inf.sig"));

    // openssl signs with the tool's key, and with a SEC1 key of its own that the tool signs with.
    ASSERT_TRUE(Shell(Message("or_news.inf") +
                      " | openssl dgst -sha256 -sign maker.key -passin pass:\"pass phrase\" -out or_news.inf.sig"));
    EXPECT_EQ(Run({"verify", file, temp / "maker.pem"}).Status, 0);
    ASSERT_TRUE(Shell("openssl ecparam -name prime256v1 -genkey -noout -out sec1.key && "
                      "openssl ec -in sec1.key -pubout -out sec1.pem"));
    ASSERT_EQ(Run({"sign", file, temp / "sec1.key"}).Status, 0);
    EXPECT_TRUE(Shell(Message("or_news.inf") + " | openssl dgst -sha256 -verify sec1.pem -signature or_news.inf.sig"));
    EXPECT_EQ(Run({"verify", file, temp / "maker.pem"}).Status, 1);
    // The key openssl encrypts by default.
    ASSERT_TRUE(Shell("openssl genpkey -algorithm EC -pkeyopt ec_paramgen_curve:P-256 -aes-256-cbc -pass pass:secret "
                      "-out genpkey.key && openssl pkey -in genpkey.key -passin pass:secret -pubout -out genpkey.pem"));
    ASSERT_EQ(Run({"sign", file, temp / "genpkey.key"}, "secret").Status, 0);
    EXPECT_TRUE(
        Shell(Message("or_news.inf") + " | openssl dgst -sha256 -verify genpkey.pem -signature or_news.inf.sig"));
}

} // namespace
