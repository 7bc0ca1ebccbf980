// The signature service on each system, with keys and signatures the harness
// makes as the maker's OpenSSL does: one table of key files, one of signatures.
#include "harness/FtpFiles.h"
#include "harness/TestSigningKeys.h"
#include "platform/Signature.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

namespace {

using harness::TestSigningKeys;
using Kind = TestSigningKeys::Kind;
using Signature::PublicKey;
using Signature::Verdict;

const std::string kName = "or_news.inf";
const std::string kBytes = "[Program]\r\nWersja=7\r\n";

std::string WithCrLf(const std::string &text)
{
    std::string crlf;
    for (const char c : text)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return crlf;
}

class SignatureTest : public testing::Test {
protected:
    static void SetUpTestSuite() { keys_ = std::make_unique<TestSigningKeys>(); }
    static void TearDownTestSuite() { keys_.reset(); }

    static PublicKey MakerKey() { return *PublicKey::FromPem(keys_->KeyFile(Kind::Good)); }
    static std::string Signed(const std::string &name = kName, const std::string &bytes = kBytes)
    {
        return keys_->Sign(Kind::Good, name, bytes);
    }

    static std::unique_ptr<TestSigningKeys> keys_;
};

std::unique_ptr<TestSigningKeys> SignatureTest::keys_;

TEST_F(SignatureTest, KeyFilesOfEveryKind)
{
    const std::string good = keys_->KeyFile(Kind::Good);
    const std::string bom = "\xEF\xBB\xBF";
    // Blank lines fill a key file up to a size.
    const auto filledTo = [&good](std::size_t size) { return good + std::string(size - good.size(), '\n'); };
    std::string changedBase64 = good;
    changedBase64[good.find('\n') + 5] = '*';
    const struct {
        const char *what;
        std::string bytes;
        bool isMakersKey;
    } rows[] = {
        {"the maker's key", good, true},
        {"CR LF line ends", WithCrLf(good), true},
        {"a UTF-8 BOM", bom + good, true},
        {"a BOM and CR LF", bom + WithCrLf(good), true},
        {"blank lines around", "\n\r\n" + good + "\n\n", true},
        {"exactly the largest key file", filledTo(Signature::MaxKeyFileBytes), true},
        {"one byte more", filledTo(Signature::MaxKeyFileBytes + 1), false},
        {"a certificate", keys_->KeyFile(Kind::Certificate), false},
        {"a private key", keys_->KeyFile(Kind::PrivateKey), false},
        {"P-384", keys_->KeyFile(Kind::P384), false},
        {"a compressed point", keys_->KeyFile(Kind::Compressed), false},
        {"explicit parameters", keys_->KeyFile(Kind::ExplicitCurve), false},
        {"text before the block", "Maker's key\n" + good, false},
        {"a character not of base64", changedBase64, false},
        {"no end line", good.substr(0, good.find("-----END")), false},
        {"the key twice", good + good, false},
        {"nothing", "", false},
    };
    const std::string signature = Signed();
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        const std::optional<PublicKey> key = PublicKey::FromPem(row.bytes);
        ASSERT_EQ(key.has_value(), row.isMakersKey);
        if (key) {
            EXPECT_EQ(key->Verify(kName, kBytes, signature), Verdict::Good);
        }
    }
    // Another key is a key, of which the maker's signature is not one.
    const std::optional<PublicKey> other = PublicKey::FromPem(keys_->KeyFile(Kind::Other));
    ASSERT_TRUE(other);
    EXPECT_EQ(other->Verify(kName, kBytes, signature), Verdict::Mismatch);
}

TEST_F(SignatureTest, SignaturesOfEveryKind)
{
    const std::string good = Signed();
    // DER of the same values with an INTEGER padded by a zero byte, and with
    // the outer length in long form.
    const auto lengthByte = [](std::size_t n) { return std::string(1, static_cast<char>(n)); };
    const std::string padded = "\x30" + lengthByte(good.size() - 1) + "\x02" +
                               lengthByte(static_cast<unsigned char>(good[3]) + 1) + std::string(1, '\0') +
                               good.substr(4);
    const std::string longForm = "\x30\x81" + good.substr(1);
    const struct {
        const char *what;
        std::string name;
        std::string bytes;
        std::string signature;
        Verdict verdict;
    } rows[] = {
        {"a good pair", kName, kBytes, good, Verdict::Good},
        {"a changed file", kName, kBytes + " ", good, Verdict::Mismatch},
        {"another file's name", "or_news.rtf", kBytes, good, Verdict::Mismatch},
        {"another key's", kName, kBytes, keys_->Sign(Kind::Other, kName, kBytes), Verdict::Mismatch},
        {"empty", kName, kBytes, "", Verdict::NotStrictDer},
        {"a trailing byte", kName, kBytes, good + '\0', Verdict::NotStrictDer},
        {"a padded integer", kName, kBytes, padded, Verdict::NotStrictDer},
        {"a long-form length", kName, kBytes, longForm, Verdict::NotStrictDer},
        {"not DER", kName, kBytes, "not a signature", Verdict::NotStrictDer},
        {"4097 bytes", kName, kBytes, good + std::string(4097 - good.size(), '\0'), Verdict::NotStrictDer},
    };
    const PublicKey key = MakerKey();
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(key.Verify(row.name, row.bytes, row.signature), row.verdict);
    }
}

// Whether R of a DER signature is shorter than 32 bytes: its INTEGER holds
// fewer, or 32 with a zero byte before a high bit.
bool ShortR(const std::string &der)
{
    const auto length = static_cast<unsigned char>(der[3]);
    return length < 32 || (length == 32 && der[4] == '\0');
}

// CNG takes R and S at their full 32 bytes, DER at their shortest: about one
// signature in 256 has a shorter R, and must verify all the same.
TEST_F(SignatureTest, ShortValuesVerify)
{
    const PublicKey key = MakerKey();
    for (int attempt = 0; attempt < 4000; ++attempt) {
        const std::string bytes = std::to_string(attempt);
        const std::string signature = Signed(kName, bytes);
        if (ShortR(signature)) {
            EXPECT_EQ(key.Verify(kName, bytes, signature), Verdict::Good);
            return;
        }
        ASSERT_EQ(key.Verify(kName, bytes, signature), Verdict::Good);
    }
    FAIL() << "no signature with a short R in 4000";
}

TEST_F(SignatureTest, KeyFilesOnDisk)
{
    const harness::TempDir dir;
    const std::string good = keys_->KeyFile(Kind::Good);
    dir.Write("maker.pem", good);
    dir.Write("large.pem", good + std::string(Signature::MaxKeyFileBytes + 1 - good.size(), '\n'));
    std::filesystem::create_directories(std::filesystem::path(dir / "folder.pem"));
    EXPECT_EQ(Signature::ReadKeyFile(dir / "maker.pem"), good);
    EXPECT_EQ(Signature::ReadKeyFile(dir / "large.pem"), std::nullopt);
    EXPECT_EQ(Signature::ReadKeyFile(dir / "missing.pem"), std::nullopt);
    EXPECT_EQ(Signature::ReadKeyFile(dir / "folder.pem"), std::nullopt);
}

TEST(SignedMessage, IsTheNameALineFeedAndTheBytes)
{
    EXPECT_EQ(Signature::SignedMessage("or_news.rtf", std::string("{\\rtf1\0}", 8)),
              std::string("or_news.rtf\n{\\rtf1\0}", 20));
}

}  // namespace
