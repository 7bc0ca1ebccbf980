#include "platform/signing/Signing.h"

#include "platform/Exception.h"
#include "platform/files/FileStream.h"

namespace Signing {

bool ReplaceFile(const std::string &path, std::string_view contents)
{
    try {
        TFileStream file(path, TFileStream::Link::Replaced);
        file.Write(contents.data(), contents.size());
        // Its note (a directory that could not be synced) is no failure: the
        // file is in place.
        file.Commit();
        return true;
    } catch (const Exception &) {
        return false;
    }
}

} // namespace Signing
