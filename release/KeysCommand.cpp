#include "platform/signing/Signing.h"
#include "release/Commands.h"
#include "release/Passphrase.h"
#include "release/SignatureCommands.h"

#include <filesystem>
#include <system_error>

namespace {

bool Exists(const std::string &path)
{
    // A link that leads nowhere is there all the same.
    std::error_code error;
    return std::filesystem::symlink_status(std::filesystem::path(std::u8string(path.begin(), path.end())), error)
               .type() != std::filesystem::file_type::not_found;
}

} // namespace

ToolOutput::Status KeysCommand(const std::vector<std::string> &arguments)
{
    using namespace ToolOutput;
    bool encrypted = true;
    std::vector<std::string> names;
    for (const std::string &argument : arguments) {
        if (argument == "--no-passphrase")
            encrypted = false;
        else if (argument.starts_with("--"))
            return Refuse("unknown option \"" + argument + "\"; " + Usage("keys"));
        else
            names.push_back(argument);
    }
    if (names.size() != 1)
        return Refuse(Usage("keys"));
    const std::string privatePath = names[0] + ".key", publicPath = names[0] + ".pem";
    for (const std::string &path : {privatePath, publicPath})
        if (Exists(path))
            return Refuse(path + " exists; nothing written");
    std::optional<Secret::Text> passphrase;
    if (encrypted && !(passphrase = AskPassphrase("Passphrase for " + privatePath + ": ", true)))
        return Unusable;
    const std::optional<Signing::KeyFiles> files = Signing::NewKeyFiles(
        passphrase ? std::optional<std::string_view>(std::string_view(passphrase->data(), passphrase->size()))
                   : std::nullopt);
    if (!files)
        return Refuse("this system cannot make and encrypt a P-256 key pair; nothing written");
    const Signing::Creation privateKey =
        Signing::WriteNewFile(privatePath, std::string_view(files->privateKey.data(), files->privateKey.size()), Signing::Readers::OwnerOnly);
    if (privateKey != Signing::Creation::Written)
        return Refuse(privatePath + (privateKey == Signing::Creation::Exists ? " exists" : " cannot be written") +
                      "; nothing written");
    const Signing::Creation publicKey = Signing::WriteNewFile(publicPath, files->publicKey, Signing::Readers::Anyone);
    if (publicKey != Signing::Creation::Written) {
        // Half a pair is no pair.
        std::error_code ignored;
        std::filesystem::remove(std::filesystem::path(std::u8string(privatePath.begin(), privatePath.end())), ignored);
        return Refuse(publicPath + (publicKey == Signing::Creation::Exists ? " exists" : " cannot be written") +
                      "; nothing written");
    }
    Say("private key: " + privatePath +
        (encrypted ? " (encrypted with the passphrase; keep both to yourself)" : " (not encrypted; keep it to yourself)"));
    Say("public key: " + publicPath + " (the file KluczPodpisu names)");
    return Clean;
}
