#include "tests/release/OthersMayRead.h"

#include <sys/stat.h>

bool OthersMayRead(const std::string &path)
{
    struct stat file {};
    return stat(path.c_str(), &file) == 0 && (file.st_mode & (S_IRGRP | S_IROTH)) != 0;
}
