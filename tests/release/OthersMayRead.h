#pragma once
// Who may read a file the tool made, as the system reports it.
#include <string>

// Whether anyone but the file's owner (and, on Windows, the system's own
// account) may read the file Path (a UTF-8 name): on Linux a read bit for
// its group or others, on Windows an entry of its access list that allows
// reading to another account or group. False when it cannot be told.
bool OthersMayRead(const std::string &path);
