#pragma once
// Every control of the window, once. VM_CONTROLS(ROW) calls
// ROW(name, id, event, handler, caption, hint) for each of them:
//   name     the control's name in both windows: the Qt object name in
//            MainWindow.ui, the Win32 ID's name in ui/windows/ControlIds.h;
//   id       its Win32 control ID. The end-to-end tests drive the window by
//            these, so an ID never changes meaning: a new control takes a
//            new number;
//   event    what of it runs a handler of the logic: None, Click, or
//            CheckChange (ui/ControlActions.h);
//   handler  TForm1's handler for that event, or nullptr;
//   caption  UTF-8: a page's tab title; a button's text, "&" before its
//            access key; the indicators draw none, it is their name for
//            screen readers;
//   hint     UTF-8: its tooltip; empty: none.
// Every list of controls is made from this one (ui/Control.*,
// ui/ControlTexts.cpp, ui/ControlActions.cpp, ui/windows/ControlIds.h), and
// the build fails when a layout (MainWindow.ui, ui/windows/ControlTable.cpp)
// names a control it lacks. Rows stand in the order of the IDs.
#define VM_CONTROLS(ROW) \
    /* Outside the pages. */ \
    ROW(PageControl1, 100, None, nullptr, "", "") \
    ROW(StatusBar1, 101, None, nullptr, "", "") \
    /* The pages. */ \
    ROW(TabSheetParametry, 110, None, nullptr, "Parametry", "") \
    ROW(TabSheetCoNowego, 111, None, nullptr, "Co nowego", "") \
    /* "Parametry". */ \
    ROW(LabelHost, 200, None, nullptr, "Host", "") \
    ROW(LabelHostPort, 201, None, nullptr, "Port", "") \
    ROW(LabelUser, 202, None, nullptr, "User ID", "") \
    ROW(LabelUserPassword, 203, None, nullptr, "Password", "") \
    ROW(LabelProxy, 204, None, nullptr, "Proxy Server", "") \
    ROW(LabelProxyPort, 205, None, nullptr, "Proxy Port", "") \
    ROW(LabelRemoteFile, 206, None, nullptr, "Zdalny plik", "") \
    ROW(EditHost, 210, None, nullptr, "", "") \
    ROW(EditHostPort, 211, None, nullptr, "", "") \
    ROW(EditUser, 212, None, nullptr, "", "") \
    ROW(EditPassword, 213, None, nullptr, "", "") \
    ROW(CheckBoxProxy, 214, CheckChange, &TForm1::CheckBoxProxyClick, "Użyj Proxy", "") \
    ROW(EditProxy, 215, None, nullptr, "", "") \
    ROW(EditProxyPort, 216, None, nullptr, "", "") \
    ROW(EditRemoteFile, 217, None, nullptr, "", "") \
    /* "Co nowego". */ \
    ROW(PanelSpeedButtons, 300, None, nullptr, "", "") \
    ROW(SpeedDownload, 301, Click, &TForm1::SpeedDownloadClick, "&Sprawdź co nowego ?", \
        "Sprawdź, czy należy zaktualizować Twój program") \
    ROW(SpeedAbort, 302, Click, &TForm1::SpeedAbortClick, "&Anuluj pobieranie pliku", "Przerwij pobieranie plików") \
    ROW(Bevel1, 303, None, nullptr, "", "") \
    ROW(SpeedConnect, 304, Click, &TForm1::SpeedConnectClick, "&Połącz się z serwerem", "Połącz się z serwerem VEMO") \
    ROW(SpeedDisconnect, 305, Click, &TForm1::SpeedDisconnectClick, "&Rozłącz", "Przerwij połączenie") \
    ROW(SpeedExit, 306, Click, &TForm1::SpeedExitClick, "&Koniec", "Zakończ działanie programu") \
    ROW(PanelProgram, 310, None, nullptr, "", "") \
    ROW(TextProgram, 311, None, nullptr, "", "Szczegóły dotyczące wersji i wdania programu") \
    ROW(Bevel3, 312, None, nullptr, "", "") \
    ROW(Bevel2, 313, None, nullptr, "", "") \
    ROW(SpeedProgramAkt, 314, None, nullptr, "Program aktualny", "Program nie wymaga aktualizacji") \
    ROW(SpeedProgramOld, 315, None, nullptr, "Dostępna aktualizacja", "Powinieneś zaktualizować program") \
    ROW(TextKomunikat, 316, None, nullptr, "", "Komunikat, sugerujący sposob postępowania") \
    ROW(PanelRtf, 320, None, nullptr, "", "") \
    ROW(LabelRtf, 321, None, nullptr, "Informacja o nowościach:", "") \
    ROW(RichEditRtf, 322, None, nullptr, "", "Dodatkowe informacje o aktualizacji na serwerze") \
    ROW(ButtonTest, 330, Click, &TForm1::ButtonTestClick, "VEMO Test", "")
