#include "platform/net/detail/TlsTrustWindows.h"

#include "platform/RegularFile.h"
#include "platform/detail/WideTextWindows.h"

#include <cstring>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace net {
namespace {

// The SSL policy's switches (mingw's wincrypt.h lacks them): each reason is
// judged on its own, in the order both systems share.
constexpr DWORD IgnoreUnknownCa = 0x00000100;
constexpr DWORD IgnoreNameMismatch = 0x00001000;
constexpr DWORD IgnoreDates = 0x00002000;

constexpr DWORD CertificateEncoding = X509_ASN_ENCODING | PKCS_7_ASN_ENCODING;

constexpr std::string_view PemBegin = "-----BEGIN CERTIFICATE-----";
constexpr std::string_view PemEnd = "-----END CERTIFICATE-----";

// What the chain engine may find wrong with a chain that still leads to one
// of our own CAs, or that differs only in its dates: those are judged apart.
constexpr DWORD JudgedApart = CERT_TRUST_IS_UNTRUSTED_ROOT | CERT_TRUST_IS_NOT_TIME_VALID |
                              CERT_TRUST_REVOCATION_STATUS_UNKNOWN | CERT_TRUST_IS_OFFLINE_REVOCATION;

struct ChainRelease {
    void operator()(PCCERT_CHAIN_CONTEXT chain) const { CertFreeCertificateChain(chain); }
};
using Chain = std::unique_ptr<const CERT_CHAIN_CONTEXT, ChainRelease>;

struct StoreRelease {
    void operator()(HCERTSTORE store) const { CertCloseStore(store, 0); }
};
using Store = std::unique_ptr<void, StoreRelease>;

std::optional<std::vector<BYTE>> FromBase64(std::string_view text)
{
    DWORD size = 0;
    const auto length = static_cast<DWORD>(text.size());
    if (!CryptStringToBinaryA(text.data(), length, CRYPT_STRING_BASE64, nullptr, &size, nullptr, nullptr))
        return std::nullopt;
    std::vector<BYTE> bytes(size);
    if (!CryptStringToBinaryA(text.data(), length, CRYPT_STRING_BASE64, bytes.data(), &size, nullptr, nullptr))
        return std::nullopt;
    bytes.resize(size);
    return bytes;
}

// Whether the certificate's subject alternative names hold Address. Only
// those count for an address, as for OpenSSL: never the common name.
bool NamesAddress(PCCERT_CONTEXT certificate, const std::vector<unsigned char> &address)
{
    const CERT_INFO &info = *certificate->pCertInfo;
    const PCERT_EXTENSION extension = CertFindExtension(szOID_SUBJECT_ALT_NAME2, info.cExtension, info.rgExtension);
    if (!extension)
        return false;
    CERT_ALT_NAME_INFO *names = nullptr;
    DWORD size = 0;
    if (!CryptDecodeObjectEx(CertificateEncoding, X509_ALTERNATE_NAME, extension->Value.pbData,
                             extension->Value.cbData, CRYPT_DECODE_ALLOC_FLAG, nullptr, &names, &size))
        return false;
    bool found = false;
    for (DWORD i = 0; i < names->cAltEntry && !found; ++i) {
        const CERT_ALT_NAME_ENTRY &entry = names->rgAltEntry[i];
        found = entry.dwAltNameChoice == CERT_ALT_NAME_IP_ADDRESS && entry.IPAddress.cbData == address.size() &&
                std::memcmp(entry.IPAddress.pbData, address.data(), address.size()) == 0;
    }
    LocalFree(names);
    return found;
}

// What the SSL policy says of the chain for Name (a DNS name; empty: none),
// with the reasons judged elsewhere switched off.
DWORD PolicyError(PCCERT_CHAIN_CONTEXT chain, const std::wstring &name, DWORD ignored)
{
    SSL_EXTRA_CERT_CHAIN_POLICY_PARA ssl = {};
    ssl.cbSize = sizeof ssl;
    ssl.dwAuthType = AUTHTYPE_SERVER;
    ssl.fdwChecks = ignored;
    ssl.pwszServerName = name.empty() ? nullptr : const_cast<wchar_t *>(name.c_str());
    CERT_CHAIN_POLICY_PARA para = {};
    para.cbSize = sizeof para;
    para.pvExtraPolicyPara = &ssl;
    CERT_CHAIN_POLICY_STATUS status = {};
    status.cbSize = sizeof status;
    if (!CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain, &para, &status))
        return static_cast<DWORD>(CERT_E_CHAINING);
    return status.dwError;
}

// Not yet valid or expired, for the first certificate of the chain whose
// dates do not hold today (CERT_E_EXPIRED stands for both).
TlsFailure DateFailure(PCCERT_CHAIN_CONTEXT chain)
{
    const CERT_SIMPLE_CHAIN &simple = *chain->rgpChain[0];
    for (DWORD i = 0; i < simple.cElement; ++i) {
        const LONG when = CertVerifyTimeValidity(nullptr, simple.rgpElement[i]->pCertContext->pCertInfo);
        if (when < 0)
            return TlsFailure::NotYetValid;
        if (when > 0)
            return TlsFailure::Expired;
    }
    return TlsFailure::None;
}

} // namespace

TlsTrust::TlsTrust()
    : caStore_(CertOpenStore(CERT_STORE_PROV_MEMORY, 0, 0, CERT_STORE_CREATE_NEW_FLAG, nullptr))
{
}

TlsTrust::~TlsTrust()
{
    if (caStore_)
        CertCloseStore(caStore_, 0);
}

bool TlsTrust::LoadCaFile(const std::string &file)
{
    const std::optional<std::string> text = RegularFile::ReadWhole(file);
    if (!text || !caStore_)
        return false;
    std::size_t at = 0;
    std::size_t added = 0;
    for (;;) {
        const std::size_t begin = text->find(PemBegin, at);
        if (begin == std::string::npos)
            break;
        const std::size_t body = begin + PemBegin.size();
        const std::size_t end = text->find(PemEnd, body);
        if (end == std::string::npos)
            return false;
        const std::optional<std::vector<BYTE>> der = FromBase64(std::string_view(*text).substr(body, end - body));
        if (!der || !CertAddEncodedCertificateToStore(caStore_, CertificateEncoding, der->data(),
                                                      static_cast<DWORD>(der->size()), CERT_STORE_ADD_ALWAYS,
                                                      nullptr))
            return false;
        ++added;
        at = end + PemEnd.size();
    }
    return added > 0;
}

bool TlsTrust::IsOurCa(PCCERT_CONTEXT certificate) const
{
    for (PCCERT_CONTEXT ca = nullptr; (ca = CertEnumCertificatesInStore(caStore_, ca)) != nullptr;) {
        if (ca->cbCertEncoded == certificate->cbCertEncoded &&
            std::memcmp(ca->pbCertEncoded, certificate->pbCertEncoded, ca->cbCertEncoded) == 0) {
            CertFreeCertificateContext(ca);
            return true;
        }
    }
    return false;
}

TlsFailure TlsTrust::Verify(PCCERT_CONTEXT server, const TlsPeer &peer) const
{
    // The chain may run through the server's own intermediates and ours.
    Store pool(CertOpenStore(CERT_STORE_PROV_COLLECTION, 0, 0, 0, nullptr));
    if (!pool)
        return TlsFailure::Untrusted;
    CertAddStoreToCollection(pool.get(), server->hCertStore, 0, 0);
    CertAddStoreToCollection(pool.get(), caStore_, 0, 0);

    // The chain must be good for proving a server: a certificate that names
    // other purposes only (a company's certificate for a person's login) is
    // refused; one that names no purpose is good for any. Without this, wine
    // takes a certificate of any purpose.
    LPSTR serverAuth[] = {const_cast<LPSTR>(szOID_PKIX_KP_SERVER_AUTH)};
    CERT_CHAIN_PARA para = {};
    para.cbSize = sizeof para;
    para.RequestedUsage.dwType = USAGE_MATCH_TYPE_AND;
    para.RequestedUsage.Usage.cUsageIdentifier = 1;
    para.RequestedUsage.Usage.rgpszUsageIdentifier = serverAuth;
    // Nothing is fetched from the network while the server waits.
    PCCERT_CHAIN_CONTEXT built = nullptr;
    if (!CertGetCertificateChain(nullptr, server, nullptr, pool.get(), &para, CERT_CHAIN_CACHE_ONLY_URL_RETRIEVAL,
                                 nullptr, &built) ||
        built->cChain == 0)
        return TlsFailure::Untrusted;
    const Chain chain(built);

    // The chain: the system trusts its root, or the root is one of ours.
    const CERT_SIMPLE_CHAIN &simple = *chain->rgpChain[0];
    const DWORD status = chain->TrustStatus.dwErrorStatus;
    const PCCERT_CONTEXT root = simple.rgpElement[simple.cElement - 1]->pCertContext;
    if ((status & ~JudgedApart) != 0 || ((status & CERT_TRUST_IS_UNTRUSTED_ROOT) != 0 && !IsOurCa(root)))
        return TlsFailure::Untrusted;
    if (PolicyError(chain.get(), {}, IgnoreUnknownCa | IgnoreDates | IgnoreNameMismatch) != 0)
        return TlsFailure::Untrusted;

    // The name: an address is looked for among the certificate's addresses
    // here, since the policy matches names only.
    if (peer.IsAddress()) {
        if (!NamesAddress(server, peer.AddressBytes()))
            return TlsFailure::NameMismatch;
    } else {
        // An empty name would switch the policy's name check off.
        if (peer.NamesNothing())
            return TlsFailure::NameMismatch;
        const std::wstring name = WideText::FromUtf8(peer.Name());
        const DWORD error = PolicyError(chain.get(), name, IgnoreUnknownCa | IgnoreDates);
        if (error == static_cast<DWORD>(CERT_E_CN_NO_MATCH))
            return TlsFailure::NameMismatch;
        if (error != 0)
            return TlsFailure::Untrusted;
    }

    // The dates.
    if ((status & CERT_TRUST_IS_NOT_TIME_VALID) != 0) {
        const TlsFailure dates = DateFailure(chain.get());
        return dates == TlsFailure::None ? TlsFailure::Expired : dates;
    }
    return TlsFailure::None;
}

} // namespace net
