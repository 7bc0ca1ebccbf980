#pragma once
// For tests that must catch a system notification while it is still queued.

namespace testsupport {

// Sleeps until a message has been posted to this thread, without handling it.
void WaitUntilPosted();

} // namespace testsupport
