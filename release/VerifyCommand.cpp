#include "platform/Signature.h"
#include "platform/signing/Signing.h"
#include "record/ProductProfiles.h"
#include "release/SignatureCommands.h"

#include "platform/RegularFile.h"

namespace {

// The names the window fetches, as a line lists them.
std::string FetchedNames()
{
    std::string names;
    for (const ProductProfile &profile : ProductProfiles)
        names += (names.empty() ? "" : ", ") + std::string(profile.InfName) + ", " + std::string(profile.RtfName);
    return names;
}

} // namespace

ToolOutput::Status VerifyCommand(const std::vector<std::string> &arguments)
{
    using namespace ToolOutput;
    const std::optional<FileAndKey> input = ReadFileAndKey(arguments, "verify");
    if (!input)
        return Unusable;
    const std::string &file = input->file, &keyFile = input->keyFile;
    const std::optional<Signature::PublicKey> key = Signature::PublicKey::FromPem(std::string_view(input->keyBytes.data(), input->keyBytes.size()));
    if (!key)
        return Refuse(keyFile + ": not a P-256 public key (PEM \"PUBLIC KEY\")");
    const std::optional<std::string> bytes = RegularFile::ReadWhole(file);
    if (!bytes)
        return Refuse(file + ": missing or unreadable");
    const std::optional<std::string> signature = RegularFile::ReadWhole(file + ".sig");
    if (!signature)
        return Refuse(file + ".sig: missing or unreadable");
    const std::string name = BareName(file);
    Status status = Warned;
    switch (key->Verify(name, *bytes, *signature)) {
    case Signature::Verdict::Good:
        Say("good: " + file + ".sig is this key's signature of \"" + name + "\"");
        status = Clean;
        break;
    case Signature::Verdict::NotStrictDer:
        Say("bad: " + file + ".sig is not a signature in strict DER");
        break;
    case Signature::Verdict::Mismatch:
        Say("bad: " + file + ".sig is not this key's signature of \"" + name + "\" with these bytes");
        break;
    }
    if (IsFetchedName(name))
        return status;
    Say("warning: no window fetches a file named \"" + name + "\", nor asks for its signature; the names, letter case "
        "included: " + FetchedNames());
    return Warned;
}
