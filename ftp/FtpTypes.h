#pragma once
// The FTP client's transaction kinds, its event signatures and its exceptions.
#include "platform/Exception.h"

#include <functional>
#include <string>

// The kind of transaction an outcome event reports. Only cmdChangeDir,
// cmdMakeDir, cmdDelete, cmdRemoveDir, cmdDownload, cmdDoCommand and
// cmdCurrentDir are ever reported; the rest complete the set the events carry.
enum TCmdType {
    cmdChangeDir = 0,
    cmdMakeDir = 1,
    cmdDelete = 2,
    cmdRemoveDir = 3,
    cmdList = 4,
    cmdRename = 5,
    cmdUploadRestore = 6,
    cmdDownloadRestore = 7,
    cmdDownload = 8,
    cmdUpload = 9,
    cmdUploadAppend = 10,
    cmdReInit = 11,
    cmdAllocate = 12,
    cmdNList = 13,
    cmdDoCommand = 14,
    cmdCurrentDir = 15,
};

// The transfer types Mode sets: 1 ASCII (TYPE A), 2 binary (TYPE I), 3 local
// bytes of 8 bits (TYPE L 8).
constexpr int modeAscii = 1;
constexpr int modeImage = 2;
constexpr int modeLocal8 = 3;

// The Vendor value a client starts with and returns to on Disconnect.
constexpr int DefaultVendor = 2411;

using TSuccessEvent = std::function<void(TCmdType Trans_Type)>;
using TFailureEvent = std::function<void(bool &Handled, TCmdType Trans_Type)>;
using TUnsupportedEvent = std::function<void(TCmdType Trans_Type)>;
using TFtpListItem = std::function<void(const std::string &Listing)>;

// The server refused: the message is the first line of its reply, CR LF included.
class FTPException : public Exception {
public:
    using Exception::Exception;
};

// RETR refused (301..599): the message is the reply's first line, as FTPException's.
class ERetrRefused : public FTPException {
public:
    using FTPException::FTPException;
};

// A file larger than a download may bring, known before it comes or at the
// first byte past the limit.
class EFileTooLarge : public FTPException {
public:
    using FTPException::FTPException;
};

class TFileStream;
// Called with the file a download received into, before it replaces the
// local copy (TFileStream::ReadBack gives its bytes); it refuses them by raising.
using TCheckReceived = std::function<void(const TFileStream &Received)>;

// A command text that would smuggle a second command (or cut the first short)
// is refused before anything is sent.
class ECommandRefused : public Exception {
public:
    using Exception::Exception;
};
