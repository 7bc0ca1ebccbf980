#pragma once
// The harness service's wire format, shared by the service (vm_harness_service)
// and its client (vm_harness_client). Nothing here touches the system.
//
// A session is one TCP connection to the service. Each request and each reply
// is one line ending in LF: a head word, then each value as one space and the
// value's bytes in hex, two lowercase digits a byte (so the empty string is an
// empty word, and CR, LF, NUL and high bytes pass unchanged). The head of a
// request is its verb; the head of a reply is "OK", followed by the request's
// results, or "ERR", followed by why it failed. Numbers are decimal text,
// flags "0" or "1", and enumerations the number of their value.
//
// The session's first request makes what the session holds; its later
// requests act on that. When the client closes its sending side, the service
// destroys what the session made and then closes the connection, so a client
// that waits for the close knows it is gone. A session silent for the
// service's idle time, or still open when the service stops, ends the same way.
//
// First requests, with their arguments -> the values of their reply:
//   ScriptedFtpServer address                     -> host port
//   VsftpdServer root address port dataModes      -> host port
//   VsftpdServerWithTls root certFile keyFile dataModes address sessionReuse -> host port
//   PyftpdlibServer root address                  -> host port
//   PyftpdlibServerWithTls root certFile keyFile  -> host port
//   FtpProxy root                                 -> host port
//   TestCertificates                              -> (none)
//   TestSigningKeys                               -> (none)
//   TempDir                                       -> path
//   WhyNoPrivateNetwork                           -> why ("" inside the private network)
// Later requests, by what the session holds:
//   ScriptedFtpServer: each builder step by its method's name and with its
//     arguments (Send bytes, Receive, Reply bytes, Drip bytes milliseconds,
//     ReplyPassive reply dataPort, DataTls flag, CloseDuringHandshake flag,
//     LoggedIn, PortThenRetr bytes, ...), refused once the script has started;
//     Start, Signal, WaitUntilDone -> (none); Transcript and Errors -> a value a
//     line; TlsFailure -> text; DataTlsSessionsReused -> a flag a connection.
//   VsftpdServer, FtpProxy: Log -> text.
//   TestCertificates: CaFile -> path; Server kind -> certFile keyFile.
//   TestSigningKeys: KeyFile kind -> bytes; Sign signer name bytes -> signature.
// Paths, in both directions, are the service's own.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace harness::service {

using Words = std::vector<std::string>;

struct Line {
    std::string head;
    Words values;
};

// The line of Head and Values, LF included.
std::string LineOf(const std::string &head, const Words &values = {});
// A line without its LF; throws std::invalid_argument when it is not one.
Line Parse(std::string_view text);
// The values of a reply; throws std::runtime_error with the service's reason
// when it is "ERR", or when it is not a reply.
Words ResultsOf(const Line &reply);

// Throws when Words does not hold Count values (What names them).
void ExpectCount(const Words &words, std::size_t count, const std::string &what);
// Text as a decimal number of at most Most; throws std::invalid_argument otherwise.
std::uint64_t NumberIn(const std::string &text, std::uint64_t most);
std::string FlagText(bool on);
bool FlagIn(const std::string &text);

template <class Enum>
std::string EnumText(Enum value)
{
    return std::to_string(static_cast<std::underlying_type_t<Enum>>(value));
}

// Text as a value of Enum, whose values run from 0 to Last.
template <class Enum>
Enum EnumIn(const std::string &text, Enum last)
{
    return static_cast<Enum>(NumberIn(text, static_cast<std::uint64_t>(last)));
}

// Splits what Receive delivers into lines. Receive fills a buffer with some
// bytes and returns how many, 0 at the end of the stream.
class LineReader {
public:
    using Receive = std::function<std::size_t(char *buffer, std::size_t size)>;
    explicit LineReader(Receive receive) : receive_(std::move(receive)) {}
    // The next line without its LF; none at the end of the stream. Throws
    // std::length_error past kMaxLine bytes, and on a line the stream cut short.
    std::optional<std::string> Next();

    // Room for 32 MiB of bytes in hex.
    static constexpr std::size_t kMaxLine = 64u << 20;

private:
    Receive receive_;
    std::string pending_;
};

}  // namespace harness::service
