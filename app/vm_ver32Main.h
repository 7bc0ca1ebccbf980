#pragma once
// The main window's logic: start-up and the window's events
// (vm_ver32Main.cpp), product detection and connection settings
// (vm_ver32Settings.cpp), the release display and the verdict
// (vm_ver32Release.cpp), the check and the client's events
// (vm_ver32Workflow.cpp). The window itself is the FormView.
#include "app/FormView.h"
#include "app/vm_fls32.h"
#include "ftp/FtpClient.h"
#include "platform/Signature.h"
#include "record/TProgram.h"
#include "sock/ThreadTimer.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
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
    void SpeedConnectClick();
    void SpeedDownloadClick();
    void SpeedAbortClick();
    void SpeedDisconnectClick();
    void SpeedExitClick();

    void FormSetCursors(TCursor Cursor);
    void FormSetFTPParms();
    void FormSaveFTPParms();
    void FormShowINF();
    void FormShowRTF();
    void FormTryToConnect();

    // Whether a connect, check or disconnect of the FTP client is under way.
    bool OperationRunning() const { return operationRunning; }
    // Ends whatever the FTP client waits for (the window is closing).
    void CancelRunningOperation();

    // The bare file names of the detected product; empty when none was found.
    std::string ProductIniName;
    std::string NewsInfName;
    std::string NewsRtfName;

    TIniFile SettingsIni;
    TIniFile ProductIni;
    TProgram LocalRelease;
    TProgram ServerRelease;
    TInfFile NewsInf{KindReleaseInfo};
    TRtfFile NewsRtf{KindNews};
    // The maker's public key file (KluczPodpisu), as a full path; empty when
    // the settings name none.
    std::string SignatureKeyFile;
    bool LoggedIn = false;
    std::uint8_t PendingKind = 0;
    std::unique_ptr<TFtpClient> FtpClient1;

private:
    // Handlers of FtpClient1's events.
    void FtpClient1Connect(TTcpSocket *Sender);
    void FtpClient1Disconnect(TTcpSocket *Sender);
    void FtpClient1HostResolved(TTcpSocket *Sender);
    void FtpClient1InvalidHost(bool &Handled);
    void FtpClient1ConnectionFailed(TTcpSocket *Sender);
    void FtpClient1Status(TTcpSocket *Sender, const std::string &Status);
    void FtpClient1Error(TTcpSocket *Sender, uint16_t Errno, const std::string &Errmsg);
    void FtpClient1PacketSent(TTcpSocket *Sender);
    void FtpClient1PacketRecvd(TTcpSocket *Sender);
    void FtpClient1TransactionStart(TTcpSocket *Sender);
    void FtpClient1TransactionStop(TTcpSocket *Sender);
    void FtpClient1Success(TCmdType Trans_Type);
    void FtpClient1Failure(bool &Handled, TCmdType Trans_Type);
    void FtpClient1UnSupportedFunction(TCmdType Trans_Type);
    void BindFtpClientEvents();
    // Runs Operation unless another one of the client is under way.
    template <class F>
    void Exclusive(F &&Operation);

    void DetectProduct();
    void LoadStoredSettings();
    // The key file in force: SignatureKeyFile when the settings name one,
    // else whatever bears the name "vm_ver32.pem" beside the program; empty
    // when there is neither.
    std::string SignatureKeyPath() const;
    // Reads the key file in force, if any, into signatureKey; false, after
    // the error box, when it holds no usable key.
    bool LoadSignatureKey();
    // Downloads Remote into Local, the file pair of Kind; with a key, only
    // when the maker's signature of Name (Remote's bare name) is good, and
    // for the release file only when it is not older than the signed copy it
    // replaces, whose signature is then kept beside it.
    void DownloadVerified(const std::string &Remote, const std::string &Local, const std::string &Name,
                          std::uint8_t Kind);
    // The signature of Remote, into memory; every way it fails to come is
    // named in the error.
    std::string FetchSignature(const std::string &Remote, const std::string &Name);
    // The date of the local release copy Local when the signature beside it
    // is the key's signature of it; none otherwise.
    std::optional<double> ReleaseFloor(const std::string &Local, const std::string &Name, double Today) const;
    // Refuses Received when it is older than the floor, or not a release the
    // window can show; otherwise puts Signature beside Local.
    void KeepReleaseSignature(const std::string &Local, const std::string &Name, const TReleaseRecord &Received,
                              const std::string &Signature);

    FormView &View;
    DirectoryFn ProgramDirectory;
    bool operationRunning = false;
    // The key of the running check; none without KluczPodpisu.
    std::optional<Signature::PublicKey> signatureKey;
    // While the window closes: cancels every wait the running operation
    // still starts (a login's rescue path sends QUIT and waits again).
    std::unique_ptr<TThreadTimer> closingCanceller;
};
