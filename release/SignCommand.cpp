#include "platform/signing/Signing.h"
#include "release/SignatureCommands.h"

#include "platform/RegularFile.h"

ToolOutput::Status SignCommand(const std::vector<std::string> &arguments)
{
    using namespace ToolOutput;
    const std::optional<FileAndKey> input = ReadFileAndKey(arguments, "sign");
    if (!input)
        return Unusable;
    const std::string &file = input->file, &keyFile = input->keyFile;
    Signing::PrivateKey::Reading reading = Signing::PrivateKey::Reading::NotAKey;
    const std::optional<Signing::PrivateKey> key = Signing::PrivateKey::FromPem(input->keyBytes, {}, reading);
    if (reading == Signing::PrivateKey::Reading::OtherEncryption)
        return Refuse(keyFile + ": encrypted keys are not supported; keep the key unencrypted on a protected disk");
    if (!key)
        return Refuse(keyFile + ": not a P-256 private key (PEM \"PRIVATE KEY\" or \"EC PRIVATE KEY\", "
                                "with its public key)");
    const std::optional<std::string> bytes = RegularFile::ReadWhole(file);
    if (!bytes)
        return Refuse(file + ": missing or unreadable");
    const std::optional<std::string> signature = key->Sign(BareName(file), *bytes);
    if (!signature)
        return Refuse(keyFile + ": no signature made with this key passes the check (a damaged key?)");
    if (!Signing::ReplaceFile(file + ".sig", *signature))
        return Refuse(file + ".sig cannot be written");
    Say("signed: " + file + ".sig (over the name \"" + BareName(file) + "\")");
    return Clean;
}
