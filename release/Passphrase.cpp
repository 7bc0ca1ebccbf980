#include "release/Passphrase.h"

#include "platform/CodePage.h"
#include "platform/console/Console.h"
#include "release/ToolOutput.h"

#include <string_view>

namespace {

std::optional<Secret::Text> ReadOne(const std::string &prompt)
{
    std::optional<Console::SecretLine> line = Console::ReadSecretLine(prompt, MostPassphraseBytes);
    const char *fault = !line                 ? "cannot be read from the standard input"
                        : line->longer        ? "is longer than 1024 bytes"
                        : line->text.empty()  ? "is empty"
                        : !CodePage::IsUtf8(std::string_view(line->text.data(), line->text.size()))
                            ? "is not UTF-8 text"
                            : nullptr;
    if (fault) {
        ToolOutput::Refuse(std::string("the passphrase ") + fault);
        return std::nullopt;
    }
    return std::move(line->text);
}

} // namespace

std::optional<Secret::Text> AskPassphrase(const std::string &prompt, bool confirm)
{
    std::optional<Secret::Text> passphrase = ReadOne(prompt);
    // Input that is no terminal gives its one line; asking twice would take its second.
    if (!passphrase || !confirm || !Console::InputIsTerminal())
        return passphrase;
    const std::optional<Secret::Text> again = ReadOne("The same passphrase again: ");
    if (!again)
        return std::nullopt;
    if (*again != *passphrase) {
        ToolOutput::Refuse("the two passphrases differ");
        return std::nullopt;
    }
    return passphrase;
}
