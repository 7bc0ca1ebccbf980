#pragma once
// A secret line as its bytes arrive, the same on both systems: kept up to
// two bytes past Most, enough to tell, once one CR before the LF is taken
// off, whether it held more than Most. It never grows past what it
// reserved, so no copy is left behind.
#include "platform/console/Console.h"

#include <algorithm>

namespace Console::detail {

class SecretLineBytes {
public:
    explicit SecretLineBytes(std::size_t most) : most_(most) { text_.reserve(most + 2); }
    // False once the line has ended with its LF.
    bool Add(char byte)
    {
        if (byte == '\n')
            ended_ = true;
        else if (!Full())
            text_.push_back(byte);
        return !ended_;
    }
    // Whether the line is known to be longer than Most, whatever follows.
    bool Full() const { return text_.size() == most_ + 2; }
    // The line: without its LF and one CR before it; a last line without LF
    // as it stands.
    SecretLine Finish()
    {
        if (ended_ && !text_.empty() && text_.back() == '\r')
            text_.pop_back();
        SecretLine line;
        line.longer = text_.size() > most_;
        text_.resize(std::min(text_.size(), most_));
        line.text = std::move(text_);
        return line;
    }

private:
    std::size_t most_;
    Secret::Text text_;
    bool ended_ = false;
};

} // namespace Console::detail
