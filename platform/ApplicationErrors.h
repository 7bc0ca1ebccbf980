#pragma once
// The application's handler for errors that escape an event handler: the user
// sees them in the standard error box and the program goes on. Components that
// run callbacks from the event loop (timers) hand escaping errors here.
#include <exception>
#include <functional>

namespace ApplicationErrors {

using Handler = std::function<void(const std::exception &)>;

// Installs the handler; returns the previous one.
Handler SetHandler(Handler handler);

// Passes Error to the installed handler; without one the error is dropped.
void Handle(const std::exception &error);

} // namespace ApplicationErrors
