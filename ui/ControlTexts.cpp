#include "ui/ControlTexts.h"

#include "platform/CodePage.h"

#include <vector>

namespace {

std::vector<ControlText> Texts()
{
    using enum TControl;
    struct Row {
        TControl control;
        const char *caption; // UTF-8
        const char *hint = "";
    };
    const Row rows[] = {
        {TabSheetParametry, "Parametry"},
        {LabelHost, "Host"},
        {LabelHostPort, "Port"},
        {LabelUser, "User ID"},
        {LabelUserPassword, "Password"},
        {LabelProxy, "Proxy Server"},
        {LabelProxyPort, "Proxy Port"},
        {LabelRemoteFile, "Zdalny plik"},
        {CheckBoxProxy, "Użyj Proxy"},
        {TabSheetCoNowego, "Co nowego"},
        {SpeedDownload, "&Sprawdź co nowego ?", "Sprawdź, czy należy zaktualizować Twój program"},
        {SpeedAbort, "&Anuluj pobieranie pliku", "Przerwij pobieranie plików"},
        {SpeedConnect, "&Połącz się z serwerem", "Połącz się z serwerem VEMO"},
        {SpeedDisconnect, "&Rozłącz", "Przerwij połączenie"},
        {SpeedExit, "&Koniec", "Zakończ działanie programu"},
        {SpeedProgramAkt, "Program aktualny", "Program nie wymaga aktualizacji"},
        {SpeedProgramOld, "Dostępna aktualizacja", "Powinieneś zaktualizować program"},
        {TextKomunikat, "", "Komunikat, sugerujący sposob postępowania"},
        {TextProgram, "", "Szczegóły dotyczące wersji i wdania programu"},
        {ButtonTest, "VEMO Test"},
        {LabelRtf, "Informacja o nowościach:"},
        {RichEditRtf, "", "Dodatkowe informacje o aktualizacji na serwerze"},
    };
    std::vector<ControlText> texts;
    for (const Row &row : rows)
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
