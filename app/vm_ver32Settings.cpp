// Product detection and the connection settings: which product is installed,
// the defaults, what vm_ver32.ini stores, and its save at the close.
#include "app/vm_ver32Main.h"

#include "app/ConnectionDefaults.h"
#include "platform/AsciiCase.h"
#include "platform/CodePage.h"
#include "platform/ProgramPaths.h"
#include "record/ProductProfiles.h"

namespace {
const std::string SettingsFileName = "vm_ver32.ini";
const std::string FtpSection = "FTP";

bool IsYes(const std::string &value) { return UpperCaseAscii(value) == "TAK"; }

// A file named in the settings (code page 1250), relative to Directory or
// full, as the UTF-8 path the program opens; empty when none is named.
std::string NamedFile(const std::string &directory, const std::string &stored)
{
    const std::string name = CodePage::ToUtf8(stored);
    return name.empty() || ProgramPaths::IsAbsolute(name) ? name : directory + name;
}
} // namespace

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
    View.SetFieldText(TField::RemoteFile, std::string(RemoteNewsDir) + NewsRtfName);
    SettingsIni.FileName.SetFullName(ProgramDirectory(), SettingsFileName);
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
                SettingsIni.FileName.SetFullName(ProgramDirectory(), iniName);
                typ = UpperCaseAscii(SettingsIni.ReadString("Program", "Typ"));
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
        SettingsIni.ReadStrings(FtpSection, {"Host", "HostPort", "UseProxy", "Proxy", "ProxyPort", "Vemo", "Pasywny",
                                            "Szyfrowanie", "CertyfikatCA", "KluczPodpisu"});
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
    FtpClient1->TrustedCaFile = NamedFile(ProgramDirectory(), stored[8]);
    // Set by hand too: the check then takes only files the maker signed.
    SignatureKeyFile = NamedFile(ProgramDirectory(), stored[9]);
}

void TForm1::FormSaveFTPParms()
{
    const bool proxy = View.ProxyChecked();
    const std::string host = View.FieldText(TField::Host);
    const std::string hostPort = View.FieldText(TField::HostPort);
    const std::string proxyHost = proxy ? View.FieldText(TField::Proxy) : "";
    const std::string proxyPort = proxy ? View.FieldText(TField::ProxyPort) : "";
    const bool saved = SettingsIni.WriteStrings(FtpSection, {{"Host", host},
                                                             {"HostPort", hostPort},
                                                             {"UseProxy", proxy ? "Tak" : "Nie"},
                                                             {"Proxy", proxyHost},
                                                             {"ProxyPort", proxyPort}});
    // The settings are saved only here, at the close: a loss must not go unnoticed.
    if (!saved)
        View.ShowErrorMessage(Cp("Nie mogę zapisać ustawień w pliku ") +
                              CodePage::FromUtf8(SettingsIni.FileName.FullName));
}
