#include "ui/ControlTexts.h"

#include "platform/CodePage.h"

#include <string_view>
#include <vector>

namespace {

std::vector<ControlText> Texts()
{
    struct Row {
        TControl control;
        std::string_view caption; // UTF-8
        std::string_view hint;
    };
#define VM_CONTROL_TEXTS(name, id, event, handler, caption, hint) {TControl::name, caption, hint},
    const Row rows[] = {VM_CONTROLS(VM_CONTROL_TEXTS)};
#undef VM_CONTROL_TEXTS
    std::vector<ControlText> texts;
    for (const Row &row : rows)
        if (!row.caption.empty() || !row.hint.empty())
            texts.push_back({row.control, Cp(row.caption), Cp(row.hint)});
    return texts;
}

} // namespace

std::span<const ControlText> ControlTexts()
{
    static const std::vector<ControlText> texts = Texts();
    return texts;
}

std::string StartCaption() { return "ZELNOR, VEMO"; }
