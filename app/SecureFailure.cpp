#include "app/SecureFailure.h"

#include "ftp/FtpRules.h"
#include "platform/CodePage.h"

std::string SecureFailureText(const ETlsError &error, const TFtpClient &client)
{
    switch (error.Reason) {
    case net::TlsFailure::Untrusted:
        return Cp("Certyfikat serwera nie jest zaufany.");
    case net::TlsFailure::Expired:
        return Cp("Certyfikat serwera wygasł.");
    case net::TlsFailure::NotYetValid:
        return Cp("Certyfikat serwera nie jest jeszcze ważny.");
    case net::TlsFailure::NameMismatch:
        return Cp("Certyfikat serwera wystawiono dla innej nazwy niż ") + client.Host + ".";
    case net::TlsFailure::CaFile:
        return Cp("Nie mogę odczytać pliku certyfikatów ") + CodePage::FromUtf8(client.TrustedCaFile) + ".";
    case net::TlsFailure::Refused:
        return Cp("Serwer nie obsługuje szyfrowania (odpowiedź: ") + WithoutLineEnd(error.Message()) + ").";
    case net::TlsFailure::Unprotected:
        return Cp("Serwer odmówił szyfrowania przesyłanych plików (odpowiedź: ") + WithoutLineEnd(error.Message()) +
               ").";
    case net::TlsFailure::Handshake:
    case net::TlsFailure::None:
        break;
    }
    return Cp("Serwer nie nawiązał szyfrowanego połączenia.");
}
