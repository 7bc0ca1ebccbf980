// Files signed by their maker: the key read at each check, each file's
// signature fetched before it and checked before it replaces the local copy.
#include "app/vm_ver32Main.h"

#include "platform/CodePage.h"

namespace {

std::string InvalidSignature(const std::string &name)
{
    return Cp("Podpis pliku ") + name + Cp(" jest nieprawidłowy.");
}

// A reply's first line as the message of an FTPException holds it, without its line end.
std::string WithoutLineEnd(std::string line)
{
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.pop_back();
    return line;
}

} // namespace

bool TForm1::LoadSignatureKey()
{
    signatureKey.reset();
    if (SignatureKeyFile.empty())
        return true;
    // Read again at each check: a key file mended meanwhile counts at the next click.
    if (const std::optional<std::string> bytes = Signature::ReadKeyFile(SignatureKeyFile))
        signatureKey = Signature::PublicKey::FromPem(*bytes);
    if (!signatureKey)
        View.ShowErrorMessage(Cp("Nie mogę odczytać klucza podpisu ") + CodePage::FromUtf8(SignatureKeyFile) + ".");
    return signatureKey.has_value();
}

void TForm1::DownloadVerified(const std::string &Remote, const std::string &Local, const std::string &Name)
{
    if (!signatureKey) {
        FtpClient1->Download(Remote, Local);
        return;
    }
    // The signature first, into memory only: a file whose signature is
    // missing is not fetched, and no signature ever lies beside the product.
    std::string signature;
    try {
        signature = FtpClient1->Fetch(Remote + ".sig", Signature::MaxSignatureBytes);
    } catch (const ERetrRefused &refusal) {
        throw Exception(Cp("Brak podpisu pliku ") + Name + Cp(" (odpowiedź: ") + WithoutLineEnd(refusal.Message()) +
                        ").");
    } catch (const EFileTooLarge &) {
        throw Exception(InvalidSignature(Name));
    }
    // Checked over the bytes that will replace the local copy, before they do.
    FtpClient1->Download(Remote, Local, [&](const std::string &received) {
        if (signatureKey->Verify(Name, received, signature) != Signature::Verdict::Good)
            throw Exception(InvalidSignature(Name));
        View.SetStatusText(Cp("Podpis pliku ") + Name + Cp(" prawidłowy"));
    });
}
