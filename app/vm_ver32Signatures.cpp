// Files signed by their maker: the key read at each check, each file's
// signature fetched before it and checked before it replaces the local copy;
// the release file never older than the signed copy it replaces.
#include "app/vm_ver32Main.h"

#include "platform/CodePage.h"
#include "platform/DateConvert.h"
#include "platform/ProgramPaths.h"
#include "platform/RegularFile.h"
#include "platform/files/FileStream.h"

namespace {

// The key beside the program, in force whenever the settings name none: a
// settings file misread (or gone) must not switch the check off.
constexpr const char *KeyBesideProgram = "vm_ver32.pem";

std::string InvalidSignature(const std::string &name)
{
    return Cp("Podpis pliku ") + name + Cp(" jest nieprawidłowy.");
}

std::string MissingSignature(const std::string &name, const std::string &reason)
{
    return Cp("Brak podpisu pliku ") + name + Cp(" (odpowiedź: ") + reason + ").";
}

// A reply's first line as the message of an FTPException holds it, without its line end.
std::string WithoutLineEnd(std::string line)
{
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.pop_back();
    return line;
}

// The signature kept beside a local copy of the release file.
std::string SignatureBeside(const std::string &local) { return local + ".sig"; }

} // namespace

std::string TForm1::SignatureKeyPath() const
{
    if (!SignatureKeyFile.empty())
        return SignatureKeyFile;
    const std::string directory = ProgramDirectory();
    if (directory.empty())
        return {};
    const std::string beside = directory + KeyBesideProgram;
    return ProgramPaths::EntryExists(beside) ? beside : std::string();
}

bool TForm1::LoadSignatureKey()
{
    signatureKey.reset();
    const std::string keyFile = SignatureKeyPath();
    if (keyFile.empty())
        return true;
    // Read again at each check: a key file mended meanwhile counts at the next click.
    if (const std::optional<std::string> bytes = Signature::ReadKeyFile(keyFile))
        signatureKey = Signature::PublicKey::FromPem(*bytes);
    if (!signatureKey)
        View.ShowErrorMessage(Cp("Nie mogę odczytać klucza podpisu ") + CodePage::FromUtf8(keyFile) + ".");
    return signatureKey.has_value();
}

std::string TForm1::FetchSignature(const std::string &Remote, const std::string &Name)
{
    // Into memory only: a file whose signature is missing is not fetched.
    try {
        return FtpClient1->Fetch(Remote + ".sig", Signature::MaxSignatureBytes);
    } catch (const EFileTooLarge &) {
        throw Exception(InvalidSignature(Name));
    } catch (const FTPException &refusal) {
        // Refused, or ended by the server before it was whole (426, 451).
        throw Exception(MissingSignature(Name, WithoutLineEnd(refusal.Message())));
    } catch (const EAbortError &) {
        throw;
    } catch (const ETimeOutError &) {
        throw;
    } catch (const ETlsError &) {
        throw;
    } catch (const ESockError &cut) {
        // The connection cut or closed during the transfer.
        View.SetStatusText(Cp("Błąd pobierania pliku"));
        throw Exception(MissingSignature(Name, WithoutLineEnd(cut.Message())));
    }
}

std::optional<double> TForm1::ReleaseFloor(const std::string &Local, const std::string &Name, double Today) const
{
    const std::optional<std::string> signature = Signature::ReadSignatureFile(SignatureBeside(Local));
    if (!signature)
        return std::nullopt;
    Signature::MessageDigest digest(Name);
    const std::unique_ptr<PrivateProfile::SectionReader> section = TReleaseRecord::Reader();
    const RegularFile::State read = RegularFile::ReadInPieces(Local, [&](std::string_view piece) {
        digest.Add(piece);
        section->Take(piece);
        return true;
    });
    if (read != RegularFile::State::Read || signatureKey->Verify(digest, *signature) != Signature::Verdict::Good)
        return std::nullopt;
    try {
        return ReleaseDate(TReleaseRecord::From(section->Finish()), Today);
    } catch (const EConvertError &) {
        // Never taken as current: no date to hold to.
        return std::nullopt;
    }
}

void TForm1::DownloadVerified(const std::string &Remote, const std::string &Local, const std::string &Name,
                              std::uint8_t Kind)
{
    if (!signatureKey) {
        FtpClient1->Download(Remote, Local);
        return;
    }
    const std::string signature = FetchSignature(Remote, Name);
    const bool release = Kind == KindReleaseInfo;
    // Checked over the bytes that will replace the local copy, before they do,
    // in one pass over the file: the signature, and the release's date.
    FtpClient1->Download(Remote, Local, [&](const TFileStream &received) {
        Signature::MessageDigest digest(Name);
        const std::unique_ptr<PrivateProfile::SectionReader> section = release ? TReleaseRecord::Reader() : nullptr;
        received.ReadBack([&](std::string_view piece) {
            digest.Add(piece);
            if (section)
                section->Take(piece);
        });
        if (signatureKey->Verify(digest, signature) != Signature::Verdict::Good)
            throw Exception(InvalidSignature(Name));
        View.SetStatusText(Cp("Podpis pliku ") + Name + Cp(" prawidłowy"));
        if (section)
            KeepReleaseSignature(Local, Name, TReleaseRecord::From(section->Finish()), signature);
    });
}

void TForm1::KeepReleaseSignature(const std::string &Local, const std::string &Name, const TReleaseRecord &Received,
                                  const std::string &Signature)
{
    // Never backwards: a release file older than the signed copy it would
    // replace is an old file served again.
    const double today = DateConvert::Today();
    const double date = ReleaseDate(Received, today);
    // A file the window could not show is not put in place under a key.
    LastValidDay(Received);
    if (const std::optional<double> floor = ReleaseFloor(Local, Name, today); floor && date < *floor)
        throw Exception(Cp("Plik ") + Name + Cp(" podaje datę aktualizacji ") + ShownDate(date) +
                        Cp(", wcześniejszą od sprawdzonej już daty ") + ShownDate(*floor) + ".");
    // Put in place before the file is: a signature beside the product is
    // always that of the copy beside it, or of none.
    TFileStream kept(SignatureBeside(Local));
    kept.Write(Signature.data(), Signature.size());
    kept.Commit();
}
