#include "platform/ApplicationErrors.h"

#include <utility>

namespace ApplicationErrors {
namespace {
Handler &Installed()
{
    static Handler handler;
    return handler;
}
} // namespace

Handler SetHandler(Handler handler)
{
    return std::exchange(Installed(), std::move(handler));
}

void Handle(const std::exception &error)
{
    if (Installed())
        Installed()(error);
}

} // namespace ApplicationErrors
