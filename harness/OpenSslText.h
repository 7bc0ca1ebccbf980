#pragma once
// What the harness's certificate and key makers share of OpenSSL: a failure
// that says OpenSSL's own reason, and an object written as PEM text.
#include <openssl/bio.h>
#include <openssl/err.h>

#include <memory>
#include <stdexcept>
#include <string>

namespace harness::openssl {

// Raises std::runtime_error "Maker: What: OpenSSL's reason" and clears
// OpenSSL's error queue, so the next failure reports its own reason.
[[noreturn]] inline void Fail(const std::string &maker, const std::string &what)
{
    char reason[256] = "no reason given";
    if (const unsigned long code = ERR_get_error())
        ERR_error_string_n(code, reason, sizeof reason);
    ERR_clear_error();
    throw std::runtime_error(maker + ": " + what + ": " + reason);
}

// The PEM text that Write (a PEM_write_bio_* call on the given BIO) writes.
template <typename Write>
std::string Pem(const std::string &maker, Write write)
{
    std::unique_ptr<BIO, decltype(&BIO_free)> bio(BIO_new(BIO_s_mem()), BIO_free);
    if (!bio || write(bio.get()) <= 0)
        Fail(maker, "PEM encoding");
    char *bytes = nullptr;
    const long size = BIO_get_mem_data(bio.get(), &bytes);
    return std::string(bytes, static_cast<std::size_t>(size));
}

} // namespace harness::openssl
