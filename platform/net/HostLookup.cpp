#include "platform/net/HostLookup.h"

#include "platform/net/NotificationWindow.h"

#include <QHostInfo>
#include <QPointer>
#include <arpa/inet.h>
#include <utility>

namespace net {
namespace {

// The system's resolver, through Qt's lookup thread.
class SystemResolver : public HostResolver {
public:
    void Lookup(const std::string &name, QObject *context, Answer done) override
    {
        QHostInfo::lookupHost(QString::fromLatin1(name.data(), qsizetype(name.size())), context,
                              [done = std::move(done)](const QHostInfo &info) {
                                  switch (info.error()) {
                                  case QHostInfo::NoError:
                                      break;
                                  case QHostInfo::HostNotFound:
                                      done(0, WSAHOST_NOT_FOUND);
                                      return;
                                  default:
                                      done(0, WSANO_RECOVERY);
                                      return;
                                  }
                                  for (const QHostAddress &a : info.addresses())
                                      if (a.protocol() == QAbstractSocket::IPv4Protocol) {
                                          done(htonl(a.toIPv4Address()), 0);
                                          return;
                                      }
                                  done(0, WSANO_DATA);
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
    QPointer<NotificationWindow> target(window);
    Current().Lookup(name, window, [target, tag](uint32_t address, uint16_t error) {
        if (target)
            target->Post(Message{WM_LOOKUPDONE, 0, error, tag, address});
    });
}

} // namespace net
