#include "rtf/RtfInterpreter.h"

#include "platform/CodePage.h"
#include "rtf/ByteDecoder.h"
#include "rtf/DocumentBuilder.h"
#include "rtf/RtfKeywords.h"
#include "rtf/RtfTables.h"
#include "rtf/RtfTokenizer.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace Rtf {
namespace {

constexpr int DefaultHalfPoints = 24; // 12 points unless \fs says otherwise
constexpr int MaxHalfPoints = 3276;
constexpr int MaxTwips = 31680;       // 22 inches, wider than any page

enum class Destination { Body, ListText, FontTable, ColorTable, Skipped };

CharFormat PlainFormat()
{
    CharFormat format;
    format.halfPoints = DefaultHalfPoints;
    return format;
}

struct GroupState {
    Destination destination = Destination::Body;
    CharFormat format = PlainFormat();
    int font = -1; // -1: the document's default font
    bool hidden = false;
    ParagraphFormat paragraph;
    int unicodeSkip = 1;
};

bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

class Interpreter {
public:
    explicit Interpreter(std::string_view bytes) : tokens_(bytes) {}
    Document Run();

private:
    bool Consume(const Token &token);
    void OpenGroup();
    bool CloseGroup();
    void OnControlWord(const Token &token, bool starred);
    bool OnDestinationWord(Keyword keyword, const Token &token);
    void OnFontTableWord(Keyword keyword, int parameter);
    void OnColorTableWord(Keyword keyword, int parameter);
    void OnTextWord(const KeywordInfo &info, const Token &token);
    void OnControlSymbol(char symbol);
    void OnText(std::string_view bytes);
    void OnUnicode(std::int32_t parameter);
    void Decode(std::string_view bytes);
    void EmitCharacter(char32_t c);
    void Emit(std::string_view utf8);
    int Font() const { return State().font >= 0 ? State().font : defaultFont_; }
    GroupState &State() { return stack_.back(); }
    const GroupState &State() const { return stack_.back(); }

    Tokenizer tokens_;
    std::vector<GroupState> stack_;
    std::size_t overflowDepth_ = 0;  // groups opened beyond MaxGroupDepth
    int fallbackToSkip_ = 0;          // characters after \u that stand in for it
    bool starPending_ = false;        // "\*": the next word names an optional destination
    char32_t highSurrogate_ = 0;      // first half of a pair written as two \u
    int documentCodePage_ = CodePage::Cp1250;
    int defaultFont_ = -1;
    std::string decoded_;
    FontTable fonts_;
    ColorTable colors_;
    DocumentBuilder builder_;
};

Document Interpreter::Run()
{
    for (Token token = tokens_.Next(); token.kind != Token::Kind::End; token = tokens_.Next())
        if (!Consume(token))
            break;
    return builder_.Finish(fonts_.TakeFamilies());
}

// False once the outermost group has closed.
bool Interpreter::Consume(const Token &token)
{
    if (token.kind == Token::Kind::GroupStart) {
        OpenGroup();
        return true;
    }
    if (token.kind == Token::Kind::GroupEnd)
        return CloseGroup();
    if (overflowDepth_ > 0 || stack_.empty() || State().destination == Destination::Skipped)
        return true;
    const bool starred = std::exchange(starPending_, false);
    if (token.kind == Token::Kind::Text) {
        OnText(token.text);
        return true;
    }
    // A control word, symbol or escape counts as one fallback character.
    if (fallbackToSkip_ > 0) {
        --fallbackToSkip_;
        return true;
    }
    if (token.kind == Token::Kind::ControlWord) {
        OnControlWord(token, starred);
    } else if (token.kind == Token::Kind::ControlSymbol) {
        OnControlSymbol(token.symbol);
    } else if (token.kind == Token::Kind::HexByte) {
        const char byte = static_cast<char>(token.byte);
        Decode(std::string_view(&byte, 1));
    }
    return true;
}

void Interpreter::OpenGroup()
{
    fallbackToSkip_ = 0;
    starPending_ = false;
    if (overflowDepth_ > 0 || stack_.size() >= MaxGroupDepth)
        ++overflowDepth_;
    else
        stack_.push_back(stack_.empty() ? GroupState{} : State());
}

bool Interpreter::CloseGroup()
{
    fallbackToSkip_ = 0;
    starPending_ = false;
    if (overflowDepth_ > 0) {
        --overflowDepth_;
        return true;
    }
    if (stack_.empty())
        return true;
    if (State().destination == Destination::FontTable)
        fonts_.EndEntry(); // an entry whose name lacks the closing ';'
    stack_.pop_back();
    return !stack_.empty();
}

void Interpreter::OnControlWord(const Token &token, bool starred)
{
    const KeywordInfo info = LookUpKeyword(token.text);
    if (OnDestinationWord(info.keyword, token))
        return;
    if (starred) {
        // An optional destination this reader does not know.
        State().destination = Destination::Skipped;
        return;
    }
    switch (State().destination) {
    case Destination::FontTable:
        OnFontTableWord(info.keyword, token.parameter);
        break;
    case Destination::ColorTable:
        OnColorTableWord(info.keyword, token.parameter);
        break;
    default:
        OnTextWord(info, token);
        break;
    }
}

bool Interpreter::OnDestinationWord(Keyword keyword, const Token &token)
{
    switch (keyword) {
    case Keyword::FontTable:
        State().destination = Destination::FontTable;
        return true;
    case Keyword::ColorTable:
        State().destination = Destination::ColorTable;
        return true;
    case Keyword::ListText:
        State().destination = Destination::ListText;
        return true;
    case Keyword::SkippedDestination:
        State().destination = Destination::Skipped;
        return true;
    case Keyword::AnsiCodePage:
        if (token.hasParameter)
            documentCodePage_ = token.parameter;
        return true;
    case Keyword::DefaultFont:
        defaultFont_ = token.parameter;
        return true;
    default:
        return false;
    }
}

void Interpreter::OnFontTableWord(Keyword keyword, int parameter)
{
    if (keyword == Keyword::Font)
        fonts_.BeginEntry(parameter);
    else if (keyword == Keyword::FontCharset)
        fonts_.SetCharset(parameter);
    else if (keyword == Keyword::FontCodePage)
        fonts_.SetCodePage(parameter);
}

void Interpreter::OnColorTableWord(Keyword keyword, int parameter)
{
    if (keyword == Keyword::Red)
        colors_.SetRed(parameter);
    else if (keyword == Keyword::Green)
        colors_.SetGreen(parameter);
    else if (keyword == Keyword::Blue)
        colors_.SetBlue(parameter);
}

void Interpreter::OnTextWord(const KeywordInfo &info, const Token &token)
{
    GroupState &state = State();
    const int parameter = token.parameter;
    const bool on = !token.hasParameter || parameter != 0;
    const bool body = state.destination == Destination::Body;
    switch (info.keyword) {
    case Keyword::Font: state.font = std::max(parameter, 0); break;
    case Keyword::Plain:
        state.format = PlainFormat();
        state.font = -1;
        state.hidden = false;
        break;
    case Keyword::Bold: state.format.bold = on; break;
    case Keyword::Italic: state.format.italic = on; break;
    case Keyword::Underline: state.format.underline = on; break;
    case Keyword::UnderlineNone: state.format.underline = false; break;
    case Keyword::Strike: state.format.strike = on; break;
    case Keyword::FontSize:
        state.format.halfPoints = parameter > 0 ? std::min(parameter, MaxHalfPoints) : DefaultHalfPoints;
        break;
    case Keyword::Foreground: state.format.foreground = colors_.At(parameter); break;
    case Keyword::Background: state.format.background = colors_.At(parameter); break;
    case Keyword::Hidden: state.hidden = on; break;
    case Keyword::Pard: state.paragraph = {}; break;
    case Keyword::AlignLeft: state.paragraph.alignment = Alignment::Left; break;
    case Keyword::AlignCenter: state.paragraph.alignment = Alignment::Center; break;
    case Keyword::AlignRight: state.paragraph.alignment = Alignment::Right; break;
    case Keyword::AlignJustify: state.paragraph.alignment = Alignment::Justify; break;
    case Keyword::LeftIndent: state.paragraph.leftIndent = std::clamp(parameter, -MaxTwips, MaxTwips); break;
    case Keyword::RightIndent: state.paragraph.rightIndent = std::clamp(parameter, -MaxTwips, MaxTwips); break;
    case Keyword::FirstLineIndent: state.paragraph.firstLineIndent = std::clamp(parameter, -MaxTwips, MaxTwips); break;
    case Keyword::InTable: state.paragraph.tableRow = true; break;
    case Keyword::Line: EmitCharacter(U'\n'); break;
    case Keyword::Tab: EmitCharacter(U'\t'); break;
    case Keyword::Character: EmitCharacter(info.character); break;
    case Keyword::Unicode: OnUnicode(parameter); break;
    case Keyword::UnicodeSkip: state.unicodeSkip = std::max(parameter, 0); break;
    case Keyword::Par:
        if (body)
            builder_.EndParagraph(state.paragraph);
        break;
    case Keyword::Break:
        if (body)
            builder_.Break(state.paragraph);
        break;
    case Keyword::Cell:
        if (body)
            builder_.EndCell();
        break;
    case Keyword::Row:
        if (body)
            builder_.EndRow(state.paragraph);
        break;
    default: break;
    }
}

void Interpreter::OnControlSymbol(char symbol)
{
    switch (symbol) {
    case '*': starPending_ = true; break;
    case '~': EmitCharacter(U'\u00A0'); break;
    case '-': EmitCharacter(U'\u00AD'); break;
    case '_': EmitCharacter(U'\u2011'); break;
    case '{':
    case '}':
    case '\\': EmitCharacter(static_cast<char32_t>(symbol)); break;
    case '\n': // a backslash before a line break is \par
        if (State().destination == Destination::Body)
            builder_.EndParagraph(State().paragraph);
        break;
    default: break;
    }
}

void Interpreter::OnText(std::string_view bytes)
{
    const auto skipped = std::min(bytes.size(), static_cast<std::size_t>(fallbackToSkip_));
    fallbackToSkip_ -= static_cast<int>(skipped);
    bytes.remove_prefix(skipped);
    const Destination destination = State().destination;
    if (destination == Destination::Body || destination == Destination::ListText) {
        Decode(bytes);
        return;
    }
    // Table entries end with ';'.
    for (std::size_t end = bytes.find(';'); end != std::string_view::npos; end = bytes.find(';')) {
        if (destination == Destination::FontTable) {
            Decode(bytes.substr(0, end));
            fonts_.EndEntry();
        } else {
            colors_.EndEntry();
        }
        bytes.remove_prefix(end + 1);
    }
    if (destination == Destination::FontTable)
        Decode(bytes);
}

void Interpreter::OnUnicode(std::int32_t parameter)
{
    // Values above 32767 are written negative: the parameter is a signed 16-bit number.
    const char32_t unit = static_cast<std::uint16_t>(parameter);
    fallbackToSkip_ = State().unicodeSkip;
    if (IsLowSurrogate(unit) && highSurrogate_ != 0) {
        const char32_t high = std::exchange(highSurrogate_, 0);
        EmitCharacter(0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00));
    } else if (IsHighSurrogate(unit)) {
        if (highSurrogate_ != 0)
            EmitCharacter(U'\uFFFD');
        highSurrogate_ = unit;
    } else if (IsLowSurrogate(unit)) {
        EmitCharacter(U'\uFFFD');
    } else if (unit >= 0x20 || unit == U'\t') {
        EmitCharacter(unit);
    }
}

void Interpreter::Decode(std::string_view bytes)
{
    const int codePage = State().destination == Destination::FontTable
                             ? documentCodePage_
                             : fonts_.CodePageOf(Font(), documentCodePage_);
    decoded_.clear();
    DecoderFor(codePage).AppendUtf8(decoded_, bytes);
    Emit(decoded_);
}

void Interpreter::EmitCharacter(char32_t c)
{
    std::string utf8;
    CodePage::AppendUtf8(utf8, c);
    Emit(utf8);
}

void Interpreter::Emit(std::string_view utf8)
{
    if (utf8.empty())
        return;
    if (highSurrogate_ != 0) {
        highSurrogate_ = 0; // its second half never came
        Emit("\uFFFD");
    }
    const GroupState &state = State();
    if (state.destination == Destination::FontTable) {
        fonts_.AppendName(utf8);
    } else if (!state.hidden && state.destination == Destination::Body) {
        CharFormat format = state.format;
        format.font = fonts_.FamilyOf(Font());
        builder_.AppendText(utf8, format, state.paragraph);
    } else if (!state.hidden && state.destination == Destination::ListText) {
        builder_.AppendListText(utf8);
    }
}

} // namespace

Document ReadRtf(std::string_view bytes) { return Interpreter(bytes).Run(); }

} // namespace Rtf
