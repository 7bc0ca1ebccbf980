#include "tests/ftp/TlsResumption.h"

namespace testsupport {

bool TlsResumesSessions() { return true; }

}  // namespace testsupport
