#pragma once
// The main window's logic: start-up, product detection, connection settings,
// the release display and the verdict. The window itself is the FormView.
#include "app/FormView.h"
#include "app/TProgram.h"
#include "app/vm_fls32.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class TForm1 {
public:
    using DirectoryFn = std::function<std::string()>;

    // ProgramDirectory tells where the program lives (ending in its separator,
    // or empty when unknown); tests point it elsewhere.
    explicit TForm1(FormView &View, DirectoryFn ProgramDirectory);
    ~TForm1();
    TForm1(const TForm1 &) = delete;
    TForm1 &operator=(const TForm1 &) = delete;

    // Window events.
    void FormCreate();
    void FormClose();
    void CheckBoxProxyClick();
    void ButtonTestClick();

    void FormSetCursors(TCursor Cursor);
    void FormSetFTPParms();
    void FormSaveFTPParms();
    void FormShowINF();
    void FormShowRTF();

    // The bare file names of the detected product; empty when none was found.
    std::string ProductIniName;
    std::string NewsInfName;
    std::string NewsRtfName;

    std::unique_ptr<TIniFile> SettingsIni;
    std::unique_ptr<TIniFile> ProductIni;
    std::unique_ptr<TProgram> LocalRelease;
    std::unique_ptr<TProgram> ServerRelease;
    std::unique_ptr<TInfFile> NewsInf;
    std::unique_ptr<TRtfFile> NewsRtf;
    bool LoggedIn = false;
    std::uint8_t PendingKind = 0;

private:
    void DetectProduct();
    void LoadStoredSettings();

    FormView &View;
    DirectoryFn ProgramDirectory;
};
