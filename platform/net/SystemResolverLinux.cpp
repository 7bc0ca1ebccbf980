#include "platform/net/detail/SystemResolver.h"

#include <QHostInfo>
#include <utility>

namespace net {
namespace {

// The system's resolver, through Qt's lookup thread.
class QtResolver : public HostResolver {
public:
    void Lookup(const std::string &name, Answer done) override
    {
        QHostInfo::lookupHost(QString::fromLatin1(name.data(), qsizetype(name.size())),
                              [done = std::move(done)](const QHostInfo &info) {
                                  switch (info.error()) {
                                  case QHostInfo::NoError:
                                      break;
                                  case QHostInfo::HostNotFound:
                                      done({}, ErrorCode::HostNotFound);
                                      return;
                                  default:
                                      done({}, ErrorCode::NoRecovery);
                                      return;
                                  }
                                  std::vector<Address> found;
                                  for (const QHostAddress &a : info.addresses())
                                      if (const auto address = Address::FromLiteral(a.toString().toStdString()))
                                          found.push_back(*address);
                                  done(found, found.empty() ? ErrorCode::NoData : 0);
                              });
    }
};

} // namespace

HostResolver &SystemResolver()
{
    static QtResolver system;
    return system;
}

} // namespace net
