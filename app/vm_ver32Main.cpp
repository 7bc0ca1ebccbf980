#include "app/vm_ver32Main.h"

#include "app/ProductProfiles.h"
#include "platform/AsciiCase.h"
#include "platform/CodePage.h"
#include "platform/Exception.h"
#include "platform/ProgramPaths.h"

#include <algorithm>
#include <fstream>

namespace {
const std::string SettingsFileName = "vm_ver32.ini";
const std::string FtpSection = "FTP";
const std::string RemoteNewsDir = "pub/news/";
// The view shows far less text than this; the rest of the room is for
// pictures and formatting, which the reader skips quickly.
constexpr std::size_t MaxNewsBytes = 16 * 1024 * 1024;

bool IsYes(const std::string &value) { return UpperCaseAscii(value) == "TAK"; }
} // namespace

TForm1::TForm1(FormView &view, DirectoryFn programDirectory)
    : FtpClient1(std::make_unique<TFtpClient>()), View(view), ProgramDirectory(std::move(programDirectory))
{
    BindFtpClientEvents();
}

// Frees the release records first, then the settings and file objects; the
// FTP client goes last and logs out if it is still logged in.
TForm1::~TForm1()
{
    ServerRelease.reset();
    LocalRelease.reset();
    ProductIni.reset();
    SettingsIni.reset();
    NewsInf.reset();
    NewsRtf.reset();
    closingCanceller.reset();
    FtpClient1.reset();
}

void TForm1::FormCreate()
{
    View.ShowNewsPage();
    SettingsIni = std::make_unique<TIniFile>();
    FormSetFTPParms();
    ProductIni = std::make_unique<TIniFile>();
    LocalRelease = std::make_unique<TProgram>();
    ServerRelease = std::make_unique<TProgram>();
    NewsInf = std::make_unique<TInfFile>();
    NewsInf->Kind = KindReleaseInfo;
    NewsRtf = std::make_unique<TRtfFile>();
    NewsRtf->Kind = KindNews;

    // The product's settings file in the program directory may name another
    // directory where the product, and so its release files, live.
    ProductIni->FileName->SetFullName(ProgramDirectory(), ProductIniName);
    std::string productDir = ProductIni->ReadString("Program", "Program");
    if (productDir.empty())
        productDir = ProgramDirectory();
    ProductIni->FileName->SetFullName(productDir, ProductIniName);
    NewsInf->Remote->FileName->SetFullName(RemoteNewsDir, NewsInfName);
    NewsInf->Local->FileName->SetFullName(productDir, NewsInfName);
    NewsRtf->Remote->FileName->SetFullName(RemoteNewsDir, NewsRtfName);
    NewsRtf->Local->FileName->SetFullName(productDir, NewsRtfName);

    View.SetProgramText(Cp("\nTwój program:\n ") + LocalRelease->Load(*ProductIni));
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

void TForm1::FormSetFTPParms()
{
    ProductIniName.clear();
    NewsInfName.clear();
    NewsRtfName.clear();

    View.SetFieldText(TField::User, std::string(ConnectionDefaults::User));
    View.SetFieldText(TField::Password, std::string(ConnectionDefaults::Password));
    View.SetFieldText(TField::Host, std::string(ConnectionDefaults::Host));
    View.SetFieldText(TField::HostPort, std::string(ConnectionDefaults::HostPort));
    View.SetProxyChecked(false);
    View.SetFieldText(TField::Proxy, "");
    View.SetFieldText(TField::ProxyPort, "");
    View.SetFieldText(TField::RemoteFile, "");
    View.SetTestButtonVisible(false);

    DetectProduct();
    if (ProductIniName.empty()) {
        View.ShowErrorMessage(Cp("W katalogu programu nie ma odpowiedniego pliku INI\n"
                                 "Nie mogę sprawdzić, czy należy zaktualizować program"));
        return;
    }
    View.SetFieldText(TField::RemoteFile, RemoteNewsDir + NewsRtfName);
    SettingsIni->FileName->SetFullName(ProgramDirectory(), SettingsFileName);
    if (ProgramPaths::FileExists(ProgramDirectory() + SettingsFileName))
        LoadStoredSettings();
}

void TForm1::DetectProduct()
{
    std::string typ;
    bool typRead = false;
    for (const ProductProfile &profile : ProductProfiles) {
        const std::string iniName(profile.IniName);
        if (!ProgramPaths::FileExists(ProgramDirectory() + iniName))
            continue;
        if (!profile.Typ.empty()) {
            if (!typRead) {
                SettingsIni->FileName->SetFullName(ProgramDirectory(), iniName);
                typ = UpperCaseAscii(SettingsIni->ReadString("Program", "Typ"));
                typRead = true;
            }
            if (typ != profile.Typ)
                continue;
        }
        ProductIniName = iniName;
        NewsInfName = profile.InfName;
        NewsRtfName = profile.RtfName;
        View.SetCaption(std::string(profile.Caption));
        return;
    }
}

void TForm1::LoadStoredSettings()
{
    // One pass over the file; the proxy's values are used only when the box ends up checked.
    const std::vector<std::string> stored =
        SettingsIni->ReadStrings(FtpSection, {"Host", "HostPort", "UseProxy", "Proxy", "ProxyPort", "Vemo", "Pasywny",
                                             "Szyfrowanie", "CertyfikatCA"});
    View.SetFieldText(TField::Host, stored[0]);
    View.SetFieldText(TField::HostPort, stored[1]);
    View.SetProxyChecked(IsYes(stored[2]));
    if (View.ProxyChecked()) {
        View.SetFieldText(TField::Proxy, stored[3]);
        View.SetFieldText(TField::ProxyPort, stored[4]);
    }
    if (IsYes(stored[5]))
        View.SetTestButtonVisible(true);
    // Set by hand, like "Vemo", for users whose firewall lets no server connect in.
    FtpClient1->Passive = IsYes(stored[6]);
    // Set by hand too: the check then trusts only a server that proves who it is.
    FtpClient1->UseTls = IsYes(stored[7]);
    const std::string &caFile = stored[8];
    FtpClient1->TrustedCaFile = caFile.empty() || caFile.front() == '/' ? caFile : ProgramDirectory() + caFile;
}

void TForm1::FormSaveFTPParms()
{
    const bool proxy = View.ProxyChecked();
    const std::string host = View.FieldText(TField::Host);
    const std::string hostPort = View.FieldText(TField::HostPort);
    const std::string proxyHost = proxy ? View.FieldText(TField::Proxy) : "";
    const std::string proxyPort = proxy ? View.FieldText(TField::ProxyPort) : "";
    const bool saved = SettingsIni->WriteStrings(FtpSection, {{"Host", host},
                                                              {"HostPort", hostPort},
                                                              {"UseProxy", proxy ? "Tak" : "Nie"},
                                                              {"Proxy", proxyHost},
                                                              {"ProxyPort", proxyPort}});
    // The settings are saved only here, at the close: a loss must not go unnoticed.
    if (!saved)
        View.ShowErrorMessage(Cp("Nie mogę zapisać ustawień w pliku ") + SettingsIni->FileName->FullName);
}

void TForm1::ButtonTestClick()
{
    View.SetStatusText(Cp("Pobieranie zakończone"));
    FormShowRTF();
    FormShowINF();
}

void TForm1::FormShowINF()
{
    const std::string local = LocalRelease->Load(*ProductIni);
    const std::string server = ServerRelease->Load(*NewsInf->Local);
    View.SetProgramText(Cp("\nTwój program:\n ") + local + "\n\n\n" + " Aktualny program:" + "\n" + " " + server);
    View.SetVerdictText("");
    if (ServerRelease->Date > LocalRelease->Date) {
        View.SetVerdictText(" Zaktualizuj program !!!");
        View.SetVerdictLook(TVerdictLook::UpdateWaiting);
        View.ShowIndicator(TIndicator::ProgramOld);
    } else {
        View.SetVerdictText("Aktualizacja niepotrzebna");
        View.SetVerdictLook(TVerdictLook::UpToDate);
        View.ShowIndicator(TIndicator::ProgramAkt);
    }
}

void TForm1::FormShowRTF()
{
    const std::string &name = NewsRtf->Local->FileName->FullName;
    // Only a regular file: a directory of that name opens on Linux but holds
    // no text, and opening a FIFO would wait for a writer.
    if (!ProgramPaths::FileExists(name))
        throw Exception(FormatMessage("Cannot open file %s", name));
    std::ifstream in(name, std::ios::binary);
    if (!in)
        throw Exception(FormatMessage("Cannot open file %s", name));
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
