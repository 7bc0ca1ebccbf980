#include "platform/net/HostLookup.h"

#include "platform/net/NotificationWindow.h"

#include <QHostInfo>
#include <utility>

namespace net {
namespace {

// The system's resolver, through Qt's lookup thread.
class SystemResolver : public HostResolver {
public:
    void Lookup(const std::string &name, Answer done) override
    {
        QHostInfo::lookupHost(QString::fromLatin1(name.data(), qsizetype(name.size())),
                              [done = std::move(done)](const QHostInfo &info) {
                                  switch (info.error()) {
                                  case QHostInfo::NoError:
                                      break;
                                  case QHostInfo::HostNotFound:
                                      done({}, WSAHOST_NOT_FOUND);
                                      return;
                                  default:
                                      done({}, WSANO_RECOVERY);
                                      return;
                                  }
                                  std::vector<Address> found;
                                  for (const QHostAddress &a : info.addresses())
                                      if (const auto address = Address::FromLiteral(a.toString().toStdString()))
                                          found.push_back(*address);
                                  done(found, found.empty() ? WSANO_DATA : 0);
                              });
    }
};

HostResolver *installed = nullptr;

HostResolver &Current()
{
    static SystemResolver system;
    return installed ? *installed : system;
}

} // namespace

HostResolver *SetHostResolver(HostResolver *resolver)
{
    return std::exchange(installed, resolver);
}

void AsyncGetHostByName(const std::string &name, NotificationWindow *window, uint32_t tag)
{
    Current().Lookup(name, [post = window->PostWhileAlive(), tag](std::vector<Address> addresses, uint16_t error) {
        post(Message{WM_LOOKUPDONE, 0, error, tag, 0, std::move(addresses)});
    });
}

} // namespace net
