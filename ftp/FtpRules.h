#pragma once
// How the FTP client reads reply lines and command texts. Pure functions.
#include "ftp/FtpTypes.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Further lines follow First, the first line of a reply: it is three digits
// and "-" ("220-Welcome").
bool OpensMultiLineReply(std::string_view First);
// Line ends the multi-line reply that First opened: it begins with First's
// three digits and no "-" follows them ("220 Ready", a bare "220"). Lines
// between, whatever they hold, belong to the reply.
bool EndsMultiLineReply(std::string_view First, std::string_view Line);

// What one reply may hold at most: a server that never ends its reply is
// not waited for with ever more memory.
constexpr int MaxReplyLines = 1000;
constexpr std::size_t MaxReplyBytes = 256 * 1024;

// Reply classes, by the reply's number. A reply that fits none of the
// negative classes counts as a success, also one without a number.

// 400..599: a command failed, for now (4xx) or for good (5xx).
inline bool IsNegative(int Code) { return Code >= 400 && Code <= 599; }
// 401..599: the login (USER or PASS) is refused; anything else completes it.
inline bool IsLoginRefusal(int Code) { return Code >= 401 && Code <= 599; }
// 301..599: PORT, RETR or QUIT refused; a 3xx other than 300 asks for more,
// which these commands never do.
inline bool IsRefusal(int Code) { return Code >= 301 && Code <= 599; }
// 500, 501, 502: the command (or its arguments) is not implemented.
inline bool IsUnsupported(int Code) { return Code >= 500 && Code <= 502; }

// 421 (closing) or 426 (transfer aborted) at the head of the received bytes,
// with at least one byte after the code.
bool IsServerAbort(std::string_view Buffered);

// The size announced in a transfer reply: the last run of digits before the
// first "BYTE" in any case; 0 without the word, without digits before it, or
// when the run does not fit 32 bits.
int32_t ParseByteCount(const std::string &Line);

// The size a transfer reply announces, strictly: a run of digits, blanks or
// nothing, then the word "byte" in any case as a word of its own (not
// "kbytes"). The reply's own code is no size ("150 bytes follow"). Nothing when
// the reply names no size this way: a transfer is then judged by its reply alone.
std::optional<int64_t> AnnouncedSize(std::string_view Line);

// The size a reply to SIZE gives: "213", a blank and the digits (RFC 3659);
// nothing for any other reply.
std::optional<int64_t> SizeFromReply(std::string_view Line);

// 2xx: the completion reply of a transfer says it succeeded; any other code,
// or none, says it did not.
bool IsPositiveCompletion(std::string_view Line);

// 400..599 at the head of the received bytes, with at least one byte after
// the code: a reply that refuses what the client waits for.
bool StartsWithNegativeReply(std::string_view Buffered);

// The data port a 229 reply offers in "(|||port|)", where any one printable
// character other than a digit may stand for "|". Nothing for another reply
// code, another shape, or a port outside 1..65535.
std::optional<uint16_t> EpsvPort(const std::string &Reply);

// The data port a 227 reply offers: p1 * 256 + p2 of the first
// "h1,h2,h3,h4,p1,p2" in it (six numbers of 0..255). The host numbers are
// checked but not used: the data goes to the control connection's peer.
// Nothing for another reply code, no such group, or port 0.
std::optional<uint16_t> PasvPort(const std::string &Reply);

// The EPRT command that offers Port on IPv6 Address, "EPRT |2|::1|1030|".
// An interface named after "%" is dropped: it means nothing to the server.
std::string EprtCommand(const std::string &Address, uint16_t Port);

// A reply line without its line end, to quote it in a message.
std::string WithoutLineEnd(std::string Line);

// The transaction kind of a command text, given its first word
// (case-sensitive): CWD, DELE, MKD, RMD; the whole text exactly "PWD";
// anything else cmdDoCommand.
TCmdType CommandKind(const std::string &CommandWord, const std::string &CommandText);

// Raises ECommandRefused when Text holds CR, LF or NUL: a line break would
// start a second command and a NUL would cut the command short.
void RequireSingleLine(const std::string &Text);
