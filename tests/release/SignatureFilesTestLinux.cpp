// sign and verify on Linux, where a name may hold any byte but "/": a
// symbolic link at FILE.sig, a folder where no file can be made beside it,
// and the names no signature may cover.
#include "harness/TestSigningKeys.h"
#include "platform/Signature.h"
#include "tests/release/ToolTest.h"

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using Kind = harness::TestSigningKeys::Kind;

const std::string Name = "or_news.inf";
const std::string Bytes = "[Program]\r\nWersja=5.2\r\nLastUpd=2026/11/30\r\n";

// Run in a child process: signs as a user who may not write to the folder
// (root may write anywhere, so it becomes nobody first).
[[noreturn]] void SignAsNobody(std::string file, std::string key)
{
    if (::getuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
        ::_exit(127);
    std::string program = VM_RELEASE_PROGRAM, command = "sign";
    char *const argv[] = {program.data(), command.data(), file.data(), key.data(), nullptr};
    ::execv(argv[0], argv);
    ::_exit(127);
}

class SignatureFiles : public ToolTest {
protected:
    SignatureFiles()
        : file(Put(Name, Bytes)), privateKey(Put("maker.key", keys.KeyFile(Kind::PrivateKey))),
          publicKey(Put("maker.pem", keys.KeyFile(Kind::Good)))
    {
    }

    // Whether FILE.sig is a file of its own that holds the maker's signature of Name with Bytes.
    bool SignedInPlace()
    {
        const std::filesystem::path signature = temp / (Name + ".sig");
        const std::optional<Signature::PublicKey> key = Signature::PublicKey::FromPem(keys.KeyFile(Kind::Good));
        return std::filesystem::is_regular_file(std::filesystem::symlink_status(signature)) && key &&
               key->Verify(Name, Bytes, temp.Read(Name + ".sig")) == Signature::Verdict::Good;
    }

    harness::TestSigningKeys keys;
    const std::string file, privateKey, publicKey;
};

TEST_F(SignatureFiles, LinkAtTheSignatureIsReplacedAndWhereItLedKeepsItsBytes)
{
    // A link to a file, then one that leads nowhere.
    for (const bool dangling : {false, true}) {
        std::filesystem::remove(temp / (Name + ".sig"));
        if (!dangling)
            Put("elsewhere", "kept");
        std::filesystem::create_symlink(temp / (dangling ? "nowhere" : "elsewhere"), temp / (Name + ".sig"));
        const ToolRun sign = Run({"sign", file, privateKey});
        EXPECT_EQ(sign.Status, 0) << sign.Output;
        EXPECT_TRUE(SignedInPlace()) << sign.Output;
        EXPECT_EQ(temp.Read("elsewhere"), "kept");
        EXPECT_FALSE(temp.Exists("nowhere"));
    }
}

TEST_F(SignatureFiles, FolderWhereNoFileCanBeMadeIsExit2AndTheSignatureKept)
{
    const std::string inside = Put("locked/" + Name, Bytes);
    const std::string signature = Put("locked/" + Name + ".sig", "old");
    // The signature itself may be written, only no file made beside it.
    ASSERT_EQ(::chmod(signature.c_str(), 0666), 0);
    ASSERT_EQ(::chmod((temp / "locked").c_str(), 0555), 0);
    EXPECT_EXIT(SignAsNobody(inside, privateKey), ::testing::ExitedWithCode(2), "cannot be written");
    ::chmod((temp / "locked").c_str(), 0755);
    EXPECT_EQ(temp.Read("locked/" + Name + ".sig"), "old");
}

TEST_F(SignatureFiles, NameNoSignatureMayCoverIsExit2AndNothingIsSigned)
{
    const std::vector<std::string> names = {"or_news.inf\nsv_news.inf", "or\x7F.inf", "pub\\or_news.inf"};
    std::vector<std::string> paths = {temp.Path() + "/", temp / ".", temp / ".."};
    for (const std::string &name : names)
        paths.push_back(Put(name, Bytes));
    for (const std::string &path : paths)
        for (const std::string command : {"sign", "verify"}) {
            const ToolRun run = Run({command, path, command == "sign" ? privateKey : publicKey});
            EXPECT_EQ(run.Status, 2) << command << " " << path << "\n" << run.Output;
        }
    for (const auto &entry : std::filesystem::directory_iterator(temp.Path()))
        EXPECT_FALSE(entry.path().filename().string().ends_with(".sig")) << entry.path();
}

TEST_F(SignatureFiles, GoodSignatureUnderANameNoWindowFetchesIsExit1WithAWarning)
{
    const std::string upper = Put("OR_NEWS.INF", Bytes);
    Put("OR_NEWS.INF.sig", keys.Sign(Kind::Good, "OR_NEWS.INF", Bytes));
    const ToolRun verify = Run({"verify", upper, publicKey});
    EXPECT_EQ(verify.Status, 1) << verify.Output;
    EXPECT_TRUE(Shows(verify, "good: ")) << verify.Output;
    EXPECT_TRUE(Shows(verify, "warning: ")) << verify.Output;
}

} // namespace
