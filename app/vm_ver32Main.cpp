// Start-up and the window: the file names of the detected product, the first
// display, the close, and the window's own controls and news view.
#include "app/vm_ver32Main.h"

#include "platform/CodePage.h"
#include "platform/DateConvert.h"
#include "platform/Exception.h"
#include "platform/ProgramPaths.h"
#include "record/ProductProfiles.h"

#include <algorithm>
#include <fstream>

namespace {
// The view shows far less text than this; the rest of the room is for
// pictures and formatting, which the reader skips quickly.
constexpr std::size_t MaxNewsBytes = 16 * 1024 * 1024;
} // namespace

TForm1::TForm1(FormView &view, DirectoryFn programDirectory)
    : FtpClient1(std::make_unique<TFtpClient>()), View(view), ProgramDirectory(std::move(programDirectory))
{
    BindFtpClientEvents();
}

// The FTP client goes first, while everything its events reach still lives;
// it logs out if it is still logged in.
TForm1::~TForm1()
{
    closingCanceller.reset();
    FtpClient1.reset();
}

void TForm1::FormCreate()
{
    View.ShowNewsPage();
    FormSetFTPParms();

    // The product's settings file in the program directory may name another
    // directory where the product, and so its release files, live. Paths are
    // UTF-8 inside the program; the file's text is code page 1250.
    ProductIni.FileName.SetFullName(ProgramDirectory(), ProductIniName);
    std::string productDir = CodePage::ToUtf8(ProductIni.ReadString("Program", "Program"));
    if (productDir.empty())
        productDir = ProgramDirectory();
    ProductIni.FileName.SetFullName(productDir, ProductIniName);
    NewsInf.Remote.FileName.SetFullName(std::string(RemoteNewsDir), NewsInfName);
    NewsInf.Local.FileName.SetFullName(productDir, NewsInfName);
    NewsRtf.Remote.FileName.SetFullName(std::string(RemoteNewsDir), NewsRtfName);
    NewsRtf.Local.FileName.SetFullName(productDir, NewsRtfName);

    View.SetProgramText(Cp("\nTwój program:\n ") + LocalRelease.Load(ProductIni.FileName.FullName, DateConvert::Today()));
    View.SetVerdictText("");
    LoggedIn = false;
    View.ResetIndicators();
}

void TForm1::FormClose()
{
    // Without a product the settings file was never named: nothing to save.
    if (!ProductIniName.empty())
        FormSaveFTPParms();
}

void TForm1::CheckBoxProxyClick()
{
    View.SetProxyFieldsEnabled(View.ProxyChecked());
}

void TForm1::FormSetCursors(TCursor Cursor)
{
    View.SetCursors(Cursor);
}

void TForm1::ButtonTestClick()
{
    View.SetStatusText(Cp("Pobieranie zakończone"));
    FormShowRTF();
    FormShowINF();
}

void TForm1::FormShowRTF()
{
    const std::string &name = NewsRtf.Local.FileName.FullName;
    // The box speaks code page 1250; the name is UTF-8.
    const std::string cannotOpen = FormatText("Cannot open file %s", CodePage::FromUtf8(name));
    // Only a regular file: a directory of that name opens on Linux but holds
    // no text, and opening a FIFO would wait for a writer.
    if (!ProgramPaths::FileExists(name))
        throw Exception(cannotOpen);
    std::ifstream in(ProgramPaths::SystemPath(name), std::ios::binary);
    if (!in)
        throw Exception(cannotOpen);
    // One byte more than is shown tells whether the file goes on.
    std::string content(MaxNewsBytes + 1, '\0');
    in.read(content.data(), static_cast<std::streamsize>(content.size()));
    if (in.bad())
        throw Exception("Failed to Load Stream");
    content.resize(static_cast<std::size_t>(in.gcount()));
    const bool complete = content.size() <= MaxNewsBytes;
    content.resize(std::min(content.size(), MaxNewsBytes));
    View.ShowNews(content, complete);
    View.FocusNews();
}
