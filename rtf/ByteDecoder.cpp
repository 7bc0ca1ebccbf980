#include "rtf/ByteDecoder.h"

#include "platform/CodePage.h"

#include <map>
#include <mutex>

namespace Rtf {
namespace {

int SupportedCodePage(int codePage)
{
    return codePage == SymbolCodePage || CodePage::IsSupported(codePage) ? codePage : CodePage::Cp1250;
}

} // namespace

ByteDecoder::ByteDecoder(int codePage)
{
    // Symbol fonts put their letters at Latin positions; of their glyphs only
    // the list bullet matters for a text view.
    const int source = codePage == SymbolCodePage ? 1252 : SupportedCodePage(codePage);
    for (int b = 0; b < 256; ++b)
        table_[b] = b < 0x20 && b != '\t' ? 0 : CodePage::Decode(source, static_cast<unsigned char>(b));
    if (codePage == SymbolCodePage)
        table_[0xB7] = U'\u2022';
}

void ByteDecoder::AppendUtf8(std::string &out, std::string_view bytes) const
{
    for (const char byte : bytes) {
        const char32_t c = table_[static_cast<unsigned char>(byte)];
        if (c < 0x80) {
            if (c != 0)
                out += static_cast<char>(c);
        } else {
            CodePage::AppendUtf8(out, c);
        }
    }
}

const ByteDecoder &DecoderFor(int codePage)
{
    static std::mutex guard;
    static std::map<int, ByteDecoder> decoders;
    const int key = SupportedCodePage(codePage);
    std::lock_guard lock(guard);
    return decoders.try_emplace(key, key).first->second;
}

} // namespace Rtf
