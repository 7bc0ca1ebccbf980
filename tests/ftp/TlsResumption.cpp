#include "tests/ftp/TlsResumption.h"

#include "tests/support/NetTestSupport.h"

namespace testsupport {

bool TlsResumesSessions() { return !UnderWine(); }

}  // namespace testsupport
