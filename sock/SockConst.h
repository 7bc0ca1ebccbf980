#pragma once
// The socket layer's texts: the status reports with their levels, the texts of
// its exceptions. The texts of Windows Sockets error codes are the platform's
// (net::ErrorText).
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace SockConst {

// Limits of the socket component.
constexpr std::size_t BlockSize = 16383;        // bytes per recv/send
constexpr std::size_t ReadBudget = 1 << 20;     // bytes per ReadToStream run
constexpr std::size_t MaxLineLength = 65536;    // bytes ReadLn takes as one line
// Received bytes held while nobody takes them; more stay in the socket until a
// read makes room.
constexpr std::size_t MaxBuffered = 4 * MaxLineLength;

// Status reports by level (OnStatus passes those up to ReportLevel).
constexpr uint8_t LevelReply = 1;
constexpr uint8_t LevelIO = 4;
constexpr uint8_t LevelTrace = 8;
constexpr uint8_t LevelErrorCheck = 16;

constexpr std::string_view sCreate = "Create";
constexpr std::string_view sDestroy = "Destroy";
constexpr std::string_view sInitializingWinsock = "Initializing Winsock";
constexpr std::string_view sResolveHost = "Resolve Host";
constexpr std::string_view sConnecting = "Connecting";
constexpr std::string_view sDisconnecting = "Disconnecting";
constexpr std::string_view sCanceling = "Canceling";
constexpr std::string_view sTimerOn = "Timer On";
constexpr std::string_view sTimerOff = "Timer Off";
constexpr std::string_view sTimerTriggered = "Timer Triggered";
constexpr std::string_view sLookingUpErrorMessage = "Looking Up Error Message";
constexpr std::string_view sCheckingError = "Checking Error In Error Manager";
constexpr std::string_view sRequestCloseSocket = "Request Close Socket";
constexpr std::string_view sSendingBuffer = "Sending Buffer";
constexpr std::string_view sWrite = "Write";
constexpr std::string_view sWriteln = "Writeln";
constexpr std::string_view sReadLn = "ReadLn";
constexpr std::string_view sRead = "Read( ";  // + count + " )"
constexpr std::string_view sTransaction = "Transaction";
constexpr std::string_view sCaptureFile = "CaptureFile";
constexpr std::string_view sReadToStream = "ReadToStream";
constexpr std::string_view sWriteFromStream = "WriteFromStream";
constexpr std::string_view sListening = "Listening";
constexpr std::string_view sAccepting = "Accepting";

// Exception texts.
constexpr std::string_view eWinsockInit = "Initializaton of windows sockets failed";
constexpr std::string_view eAlreadyConnected = "Already connected";
constexpr std::string_view eLookupTimedOut = "Host Lookup Timed Out";
constexpr std::string_view eLookupCanceled = "Host Lookup Canceled";
constexpr std::string_view eLookupFailed = "Host Lookup Failed";
constexpr std::string_view eNullRemoteAddress = "Null Remote Address";
constexpr std::string_view eConnectionTimedOut = "Connection Timed out";
constexpr std::string_view eConnectionCanceled = "Connection Canceled";
constexpr std::string_view eConnectionFailed = "Connection Failed";
constexpr std::string_view eNotConnected = "Not Connected";
constexpr std::string_view eSendAborted = "Socket send aborted";
constexpr std::string_view eReadLnAborted = "Socket readln aborted";
constexpr std::string_view eAcceptingCanceled = "Accepting Canceled";
constexpr std::string_view eDataConnection = "Error creating Data Connection";
// Waits that nothing came from the peer for: ReplyTimeOut ended them.
constexpr std::string_view eSendTimedOut = "Send Timed Out";
constexpr std::string_view eReplyTimedOut = "Reply Timed Out";
constexpr std::string_view eTransferTimedOut = "Transfer Timed Out";
constexpr std::string_view eAcceptTimedOut = "Accepting Timed Out";
constexpr std::string_view eTlsFailed = "TLS Handshake Failed";
constexpr std::string_view eCleartextBeforeTls = "Cleartext before the TLS handshake";
// A capture received more than its limit ("%s" is the limit).
constexpr std::string_view eTransferTooLarge = "Transfer larger than %s bytes";
constexpr std::string_view eNoTimer = "No Timer";
// A wait for bytes, or for bytes to leave, on a connection the peer has closed.
constexpr std::string_view eConnectionClosed = "Connection closed by the peer";
// Refusals of values the socket cannot carry ("%s" is the value).
constexpr std::string_view eTextTooLong = "Text too long to send: %s bytes, at most 16384";
constexpr std::string_view eLineTooLong = "Line too long: no line end within %s bytes";
constexpr std::string_view eHostTooLong = "Host name too long: %s characters, at most 127";
constexpr std::string_view ePortRange = "Port %s outside 0 to 65535";
constexpr std::string_view ePeerAddress = "Not an IP address: %s";
constexpr std::string_view eUnknownError = "Unknown Error No. ";

} // namespace SockConst
