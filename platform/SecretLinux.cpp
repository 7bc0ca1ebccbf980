#include "platform/Secret.h"

#include <openssl/crypto.h>

namespace Secret {

void Wipe(void *data, std::size_t size) { OPENSSL_cleanse(data, size); }

} // namespace Secret
