#include "platform/Signature.h"
#include "platform/signing/Signing.h"
#include "release/SignatureCommands.h"

#include "platform/RegularFile.h"

ToolOutput::Status VerifyCommand(const std::vector<std::string> &arguments)
{
    using namespace ToolOutput;
    const std::optional<FileAndKey> input = ReadFileAndKey(arguments, "verify");
    if (!input)
        return Unusable;
    const std::string &file = input->file, &keyFile = input->keyFile;
    const std::optional<Signature::PublicKey> key = Signature::PublicKey::FromPem(input->keyBytes);
    if (!key)
        return Refuse(keyFile + ": not a P-256 public key (PEM \"PUBLIC KEY\")");
    const std::optional<std::string> bytes = RegularFile::ReadWhole(file);
    if (!bytes)
        return Refuse(file + ": missing or unreadable");
    const std::optional<std::string> signature = RegularFile::ReadWhole(file + ".sig");
    if (!signature)
        return Refuse(file + ".sig: missing or unreadable");
    switch (key->Verify(BareName(file), *bytes, *signature)) {
    case Signature::Verdict::Good:
        Say("good: " + file + ".sig is this key's signature of \"" + BareName(file) + "\"");
        return Clean;
    case Signature::Verdict::NotStrictDer:
        Say("bad: " + file + ".sig is not a signature in strict DER");
        return Warned;
    case Signature::Verdict::Mismatch:
        break;
    }
    Say("bad: " + file + ".sig is not this key's signature of \"" + BareName(file) + "\" with these bytes");
    return Warned;
}
