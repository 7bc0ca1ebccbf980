// The update check: connecting, checking for news, aborting, disconnecting,
// and how every report of the FTP client reaches the user.
#include "app/vm_ver32Main.h"

#include "app/ConnectSettings.h"
#include "app/SecureFailure.h"
#include "ftp/FtpRules.h"
#include "platform/CodePage.h"
#include "platform/IntConvert.h"

#include <array>

namespace {

const std::string CannotConnect = "Nie mogę połączyć się z serwerem.\nSprawdź adres FTP, modem, itp.";
const std::string HostNotFound = "Nie znaleziono serwera.\nSprawdź adres FTP, modem, itp.";
const std::string CannotSecure = "Nie mogę nawiązać szyfrowanego połączenia z serwerem.\n";
const std::string NoTlsThroughProxy = "Szyfrowanie nie działa przez serwer pośredniczący (proxy).\n"
                                      "Wyłącz proxy albo szyfrowanie (Szyfrowanie w vm_ver32.ini).";

// The name each transaction kind has in the outcome texts.
const std::array<const char *, 15> KindNames = {
    "ChangeDir", "MakeDir", "Delete", "RemoveDir", "List", "Rename", "UploadRestore", "DownloadRestore",
    "Download", "Upload", "UploadAppend", "ReInit", "Allocate", "NList", "DoCommand",
};

bool Named(TCmdType kind) { return kind >= 0 && size_t(kind) < KindNames.size(); }

// Marks an operation of the client as running for as long as it lives.
class RunningFlag {
public:
    explicit RunningFlag(bool &flag) : flag_(flag) { flag_ = true; }
    ~RunningFlag() { flag_ = false; }
    RunningFlag(const RunningFlag &) = delete;
    RunningFlag &operator=(const RunningFlag &) = delete;

private:
    bool &flag_;
};

} // namespace

template <class F>
void TForm1::Exclusive(F &&Operation)
{
    // A click during a wait runs nested inside it; a second operation of the
    // client there would share its buffers and flags, so it is not started.
    if (operationRunning)
        return;
    RunningFlag running(operationRunning);
    Operation();
}

void TForm1::BindFtpClientEvents()
{
    TFtpClient &client = *FtpClient1;
    client.OnConnect = [this](TTcpSocket *s) { FtpClient1Connect(s); };
    client.OnDisconnect = [this](TTcpSocket *s) { FtpClient1Disconnect(s); };
    client.OnHostResolved = [this](TTcpSocket *s) { FtpClient1HostResolved(s); };
    client.OnInvalidHost = [this](bool &handled) { FtpClient1InvalidHost(handled); };
    client.OnConnectionFailed = [this](TTcpSocket *s) { FtpClient1ConnectionFailed(s); };
    client.OnStatus = [this](TTcpSocket *s, const std::string &status) { FtpClient1Status(s, status); };
    client.OnError = [this](TTcpSocket *s, uint16_t code, const std::string &text) { FtpClient1Error(s, code, text); };
    client.OnPacketSent = [this](TTcpSocket *s) { FtpClient1PacketSent(s); };
    client.OnPacketRecvd = [this](TTcpSocket *s) { FtpClient1PacketRecvd(s); };
    client.OnTransactionStart = [this](TTcpSocket *s) { FtpClient1TransactionStart(s); };
    client.OnTransactionStop = [this](TTcpSocket *s) { FtpClient1TransactionStop(s); };
    client.OnSuccess = [this](TCmdType kind) { FtpClient1Success(kind); };
    client.OnFailure = [this](bool &handled, TCmdType kind) { FtpClient1Failure(handled, kind); };
    client.OnUnSupportedFunction = [this](TCmdType kind) { FtpClient1UnSupportedFunction(kind); };
}

void TForm1::FormTryToConnect()
{
    TFtpClient &client = *FtpClient1;
    // The proxy takes the server's name in the clear and cannot carry TLS to it.
    if (client.UseTls && View.ProxyChecked()) {
        View.ShowErrorMessage(Cp(CannotSecure + NoTlsThroughProxy));
        return;
    }
    // An unticked box must also take back the proxy of an earlier attempt.
    client.Proxy = View.ProxyChecked() ? View.FieldText(TField::Proxy) : std::string();
    if (View.ProxyChecked())
        client.ProxyPort = IntConvert::StrToInt(View.FieldText(TField::ProxyPort));
    client.Host = View.FieldText(TField::Host);
    client.Port = IntConvert::StrToInt(View.FieldText(TField::HostPort));
    client.TimeOut = ConnectTimeOutMs;
    client.ReplyTimeOut = ReplyTimeOutMs;
    client.MaxDownloadBytes = DownloadLimitBytes;
    client.UserID = View.FieldText(TField::User);
    client.Password = View.FieldText(TField::Password);
    client.ReportLevel = LoginReportLevel;
    FormSetCursors(TCursor::HourGlass);
    try {
        client.Connect();
    } catch (const ETlsError &e) {
        View.ShowErrorMessage(Cp(CannotSecure) + SecureFailureText(e, client));
    } catch (const std::exception &) {
        View.ShowErrorMessage(Cp(CannotConnect));
    }
    client.ReportLevel = SessionReportLevel;
    FormSetCursors(TCursor::Default);
    View.Repaint();
}

void TForm1::SpeedConnectClick()
{
    Exclusive([this] { FormTryToConnect(); });
}

void TForm1::SpeedDownloadClick()
{
    Exclusive([this] {
        if (!LoadSignatureKey())
            return;
        if (!LoggedIn)
            FormTryToConnect();
        if (!LoggedIn)
            return;
        FtpClient1->Mode(modeImage);
        PendingKind = NewsRtf.Kind;
        DownloadVerified(NewsRtf.Remote.FileName.FullName, NewsRtf.Local.FileName.FullName, NewsRtfName,
                         NewsRtf.Kind);
        PendingKind = NewsInf.Kind;
        DownloadVerified(NewsInf.Remote.FileName.FullName, NewsInf.Local.FileName.FullName, NewsInfName,
                         NewsInf.Kind);
        View.SetStatusText(Cp("Zakończono pobieranie"));
    });
}

void TForm1::SpeedAbortClick()
{
    FtpClient1->AbortTransfer();
}

void TForm1::SpeedDisconnectClick()
{
    Exclusive([this] { FtpClient1->Disconnect(); });
}

void TForm1::SpeedExitClick()
{
    View.Close();
}

void TForm1::CancelRunningOperation()
{
    if (!operationRunning)
        return;
    const auto cancel = [this] {
        FtpClient1->AbortTransfer();
        FtpClient1->Cancel();
    };
    cancel();
    closingCanceller = std::make_unique<TThreadTimer>();
    closingCanceller->SetInterval(20);
    closingCanceller->SetOnTimer([this, cancel](TThreadTimer *timer) {
        if (operationRunning)
            cancel();
        else
            timer->SetEnabled(false);
    });
}

void TForm1::FtpClient1Connect(TTcpSocket *)
{
    View.SetStatusText(Cp("Uzyskano połączenie z serwerem"));
    LoggedIn = true;
}

void TForm1::FtpClient1Disconnect(TTcpSocket *)
{
    LoggedIn = false;
    if (View.StatusBarExists())
        View.SetStatusText(Cp("Przerwano połączenie"));
}

void TForm1::FtpClient1HostResolved(TTcpSocket *)
{
    View.SetStatusText("Serwer znaleziony");
}

void TForm1::FtpClient1InvalidHost(bool &)
{
    View.ShowErrorMessage(Cp(HostNotFound));
}

void TForm1::FtpClient1ConnectionFailed(TTcpSocket *)
{
    View.ShowErrorMessage(Cp(CannotConnect));
}

void TForm1::FtpClient1Status(TTcpSocket *, const std::string &Status)
{
    if (View.StatusBarExists())
        View.SetStatusText(Status);
}

void TForm1::FtpClient1Error(TTcpSocket *, uint16_t Errno, const std::string &Errmsg)
{
    View.ShowErrorMessage("Error " + std::to_string(Errno) + ": " + Errmsg);
}

void TForm1::FtpClient1PacketSent(TTcpSocket *)
{
    View.SetStatusText(std::to_string(FtpClient1->BytesSent()) + " z " + std::to_string(FtpClient1->BytesTotal));
}

void TForm1::FtpClient1PacketRecvd(TTcpSocket *)
{
    View.SetStatusText(std::to_string(FtpClient1->BytesRecvd()) + " z " + std::to_string(FtpClient1->BytesTotal));
}

void TForm1::FtpClient1TransactionStart(TTcpSocket *)
{
    View.SetStatusText(Cp("Rozpoczęto przesyłanie danych"));
}

void TForm1::FtpClient1TransactionStop(TTcpSocket *)
{
    View.SetStatusText(Cp("Zakończono przesyłanie danych"));
}

void TForm1::FtpClient1Success(TCmdType Trans_Type)
{
    if (Trans_Type == cmdDownload) {
        View.SetStatusText(Cp("Zakończono pobieranie"));
        if (PendingKind == KindNews)
            FormShowRTF();
        if (PendingKind == KindReleaseInfo)
            FormShowINF();
        return;
    }
    if (Named(Trans_Type))
        View.SetStatusText(std::string(KindNames[Trans_Type]) + " success");
}

void TForm1::FtpClient1Failure(bool &, TCmdType Trans_Type)
{
    if (Trans_Type == cmdDownload)
        View.SetStatusText(Cp("Błąd pobierania pliku"));
    else if (Named(Trans_Type))
        View.SetStatusText(std::string(KindNames[Trans_Type]) + " failure");
}

void TForm1::FtpClient1UnSupportedFunction(TCmdType Trans_Type)
{
    if (Named(Trans_Type))
        View.ShowMessageDialog(std::string(KindNames[Trans_Type]) + " unsupported");
}
