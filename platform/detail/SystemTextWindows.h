#pragma once
// The system's own text for an error code of GetLastError.
#include <string>

namespace SystemText {

// The text in code page 1250, as every text of the program, without the
// line end Windows puts after it; the code itself when the system has none.
std::string OfError(unsigned long error);

} // namespace SystemText
