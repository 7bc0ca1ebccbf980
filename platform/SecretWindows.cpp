#include "platform/Secret.h"

#include <windows.h>

namespace Secret {

void Wipe(void *data, std::size_t size) { SecureZeroMemory(data, size); }

} // namespace Secret
