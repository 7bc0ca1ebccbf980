#include "platform/signing/Signing.h"
#include "release/Passphrase.h"
#include "release/SignatureCommands.h"

#include "platform/RegularFile.h"

ToolOutput::Status SignCommand(const std::vector<std::string> &arguments)
{
    using namespace ToolOutput;
    const std::optional<FileAndKey> input = ReadFileAndKey(arguments, "sign");
    if (!input)
        return Unusable;
    const std::string &file = input->file, &keyFile = input->keyFile;
    const std::optional<std::string> bytes = RegularFile::ReadWhole(file);
    if (!bytes)
        return Refuse(file + ": missing or unreadable");
    using Reading = Signing::PrivateKey::Reading;
    Reading reading = Reading::NotAKey;
    const std::optional<Signing::PrivateKey> key = Signing::PrivateKey::FromPem(
        std::string_view(input->keyBytes.data(), input->keyBytes.size()),
        [&] { return AskPassphrase("Passphrase for " + keyFile + ": ", false); }, reading);
    const std::string convert = "convert it with \"openssl pkcs8 -topk8 -v2 aes-256-cbc -v2prf hmacWithSHA256 -iter " +
                                std::to_string(Signing::WrittenIterations) + " -in " + keyFile + " -out NEW.key\"";
    switch (reading) {
    case Reading::Read:
        break;
    case Reading::NoPassphrase:
        return Unusable;
    case Reading::OtherEncryption:
        return Refuse(keyFile + ": encrypted in a form this tool does not read (only PBES2 with PBKDF2 and AES-CBC); " +
                      convert);
    case Reading::TooManyIterations:
        return Refuse(keyFile + ": PBKDF2 with more than " + std::to_string(Signing::MostIterations) +
                      " iterations, the most this tool reads; " + convert);
    case Reading::WrongPassphrase:
        return Refuse(keyFile + ": wrong passphrase, or a damaged key; nothing signed");
    case Reading::NotAKey:
        return Refuse(keyFile + ": not a P-256 private key (PEM \"PRIVATE KEY\", \"EC PRIVATE KEY\" or "
                                "\"ENCRYPTED PRIVATE KEY\", with its public key)");
    }
    const std::optional<std::string> signature = key->Sign(BareName(file), *bytes);
    if (!signature)
        return Refuse(keyFile + ": no signature made with this key passes the check (a damaged key?)");
    if (!Signing::ReplaceFile(file + ".sig", *signature))
        return Refuse(file + ".sig cannot be written");
    Say("signed: " + file + ".sig (over the name \"" + BareName(file) + "\")");
    return Clean;
}
