#pragma once
// The passphrase of a private key: UTF-8, the same bytes on every system,
// from a terminal without echo or as the first line of the standard input.
#include "platform/Secret.h"

#include <cstddef>
#include <optional>
#include <string>

inline constexpr std::size_t MostPassphraseBytes = 1024;

// The passphrase, Prompt shown on a terminal, and asked a second time there
// when Confirm; none, after the refusal line, when it cannot be read, is
// empty, longer than MostPassphraseBytes or not UTF-8, or when the two
// entries differ.
std::optional<Secret::Text> AskPassphrase(const std::string &prompt, bool confirm);
