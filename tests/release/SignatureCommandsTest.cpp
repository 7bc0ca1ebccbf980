// vm_release keys, sign and verify on real files, against the checker's own
// signature check and keys and signatures that OpenSSL makes (the harness's).
#include "harness/TestSigningKeys.h"
#include "platform/Signature.h"
#include "tests/release/ToolTest.h"

#include <filesystem>
#include <string>
#include <vector>

namespace {

using Kind = harness::TestSigningKeys::Kind;

const std::string Name = "or_news.inf";
const std::string Bytes = "[Program]\r\nWersja=5.2\r\nWydanie=1\r\nLastUpd=2026/11/30\r\n";

class SignatureCommands : public ToolTest {
protected:
    SignatureCommands() : file(Put(Name, Bytes)) {}

    ToolRun Verify(const std::string &publicKey) { return Run({"verify", file, publicKey}); }

    // Whether the checker's own check takes the file's signature with the key file.
    bool CheckerTakes(const std::string &keyFile)
    {
        const std::optional<Signature::PublicKey> key = Signature::PublicKey::FromPem(temp.Read(keyFile));
        return key && key->Verify(Name, Bytes, temp.Read(Name + ".sig")) == Signature::Verdict::Good;
    }

    harness::TestSigningKeys keys;
    const std::string file;
};

TEST_F(SignatureCommands, KeysAndSignatureOfTheToolPassTheCheckersCheck)
{
    ASSERT_EQ(Run({"keys", temp / "maker"}).Status, 0);
    // A signature already there is replaced whole.
    Put(Name + ".sig", std::string(100, 'x'));
    const ToolRun sign = Run({"sign", file, temp / "maker.key"});
    ASSERT_EQ(sign.Status, 0) << sign.Output;
    EXPECT_TRUE(CheckerTakes("maker.pem"));
    EXPECT_EQ(Verify(temp / "maker.pem").Status, 0);
}

TEST_F(SignatureCommands, SignaturesOfOpensslPassAndAnythingElseIsExit1)
{
    const std::string good = Put("maker.pem", keys.KeyFile(Kind::Good));
    const std::string other = Put("other.pem", keys.KeyFile(Kind::Other));
    const std::string signature = keys.Sign(Kind::Good, Name, Bytes);
    Put(Name + ".sig", signature);
    EXPECT_EQ(Verify(good).Status, 0);
    EXPECT_EQ(Verify(other).Status, 1);
    Put(Name, Bytes + " ");
    EXPECT_EQ(Verify(good).Status, 1);
    // Another file's signature: the name is signed too.
    Put(Name, Bytes);
    Put(Name + ".sig", keys.Sign(Kind::Good, "sv_news.inf", Bytes));
    EXPECT_EQ(Verify(good).Status, 1);
    // Not DER: the same signature with a byte too many.
    Put(Name + ".sig", signature + '\0');
    EXPECT_EQ(Verify(good).Status, 1);
}

TEST_F(SignatureCommands, SignTakesPkcs8AndSec1KeysOfOpenssl)
{
    for (const Kind kind : {Kind::PrivateKey, Kind::Sec1PrivateKey}) {
        Put(Name + ".sig", "");
        const ToolRun sign = Run({"sign", file, Put("maker.key", keys.KeyFile(kind))});
        EXPECT_EQ(sign.Status, 0) << sign.Output;
        EXPECT_TRUE(CheckerTakes(Put("maker.pem", keys.KeyFile(Kind::Good)))) << sign.Output;
    }
}

TEST_F(SignatureCommands, SignRefusesEncryptedKeysAndPublicOnesAndWritesNothing)
{
    for (const Kind kind : {Kind::EncryptedPrivateKey, Kind::EncryptedSec1, Kind::Good}) {
        const ToolRun sign = Run({"sign", file, Put("maker.key", keys.KeyFile(kind))});
        EXPECT_EQ(sign.Status, 2) << sign.Output;
        EXPECT_EQ(Shows(sign, "encrypted"), kind != Kind::Good) << sign.Output;
        EXPECT_FALSE(temp.Exists(Name + ".sig"));
    }
}

TEST_F(SignatureCommands, KeysNeverWriteBesideAnExistingKeyFile)
{
    for (const std::string existing : {"maker.key", "maker.pem"}) {
        const std::string made = existing == "maker.key" ? "maker.pem" : "maker.key";
        Put(existing, "kept");
        EXPECT_EQ(Run({"keys", temp / "maker"}).Status, 2);
        EXPECT_EQ(temp.Read(existing), "kept");
        EXPECT_FALSE(temp.Exists(made));
        std::filesystem::remove(temp / existing);
    }
}

TEST_F(SignatureCommands, VerifyWithoutFileKeyOrSignatureOrWithAnotherKindOfKeyIsExit2)
{
    const std::string good = Put("maker.pem", keys.KeyFile(Kind::Good));
    EXPECT_EQ(Verify(good).Status, 2); // no signature yet
    Put(Name + ".sig", keys.Sign(Kind::Good, Name, Bytes));
    Put("nowhere.inf.sig", keys.Sign(Kind::Good, "nowhere.inf", ""));
    const std::vector<std::vector<std::string>> cases = {
        {temp / "nowhere.inf", good},
        {file, temp / "nowhere.pem"},
        {file, Put("maker.key", keys.KeyFile(Kind::PrivateKey))},
        {file, Put("p384.pem", keys.KeyFile(Kind::P384))},
    };
    for (const auto &files : cases) {
        const ToolRun run = Run({"verify", files[0], files[1]});
        EXPECT_EQ(run.Status, 2) << files[0] << " " << files[1] << "\n" << run.Output;
    }
}

} // namespace
