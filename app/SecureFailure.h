#pragma once
// Why a connection could not be secured, in the user's words.
#include "ftp/FtpClient.h"

#include <string>

// The reason the box gives below "Nie mogę nawiązać szyfrowanego połączenia z
// serwerem." (code page 1250); Client names the host and the CA file.
std::string SecureFailureText(const ETlsError &error, const TFtpClient &client);
