// The temporary directory of a test on Windows, made and removed here.
#include "harness/FtpFiles.h"

#include <filesystem>
#include <random>
#include <stdexcept>

namespace harness {

namespace fs = std::filesystem;

TempDir::TempDir()
{
    std::random_device random;
    for (int attempt = 0; attempt < 16; ++attempt) {
        const fs::path path = fs::temp_directory_path() / ("vm_ftp_" + std::to_string(random()));
        if (fs::create_directory(path)) {
            path_ = path.string();
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary directory");
}

TempDir::~TempDir()
{
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

}  // namespace harness
