// The temporary directory of the in-process harness, made and removed here.
#include "harness/FtpFiles.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace harness {

namespace fs = std::filesystem;

TempDir::TempDir()
{
    std::string pattern = (fs::temp_directory_path() / "vm_ftp_XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary directory");
    path_ = pattern;
    OpenToAll(path_);
}

TempDir::~TempDir()
{
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

}  // namespace harness
