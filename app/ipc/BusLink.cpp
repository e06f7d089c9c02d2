#include "app/ipc/BusLink.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>

#include "platform/Debug.h"

namespace app::ipc {

// The object served on kWindowPath: its slots are the interface's methods.
class CWindowAdaptor : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.brommelivantos.Window1")
  public:
    explicit CWindowAdaptor(CBusLink* link) : QObject(link), link_(link) {}

  public slots:
    Q_NOREPLY void PostMessage(const QString& name, qlonglong wParam, qlonglong lParam) {
        link_->DeliverMessage(name, wParam, lParam);
    }
    qlonglong SendMessage(const QString& name, qlonglong wParam, qlonglong lParam) {
        return link_->DeliverMessage(name, wParam, lParam);
    }
    qlonglong CopyData(qlonglong wParam, qlonglong dataType, const QByteArray& data) {
        return link_->DeliverCopyData(wParam, dataType, data);
    }

  private:
    CBusLink* link_;
};

QString WindowServiceName(const QString& title) {
    QString element;
    for (QChar c : title) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || c == '_' || c == '-';
        element.append(ok ? c : QChar('_'));
    }
    if (element.isEmpty() || element.front().isDigit()) element.prepend('_');
    return QString::fromLatin1(kWindowServicePrefix) + element;
}

CBusLink::CBusLink(QDBusConnection connection, QObject* parent)
    : QObject(parent), bus_(std::move(connection)) {}

CBusLink::~CBusLink() {
    UnpublishWindow();
}

bool CBusLink::IsConnected() const {
    return bus_.isConnected();
}

void CBusLink::SetAcceptedNames(std::set<std::string> names) {
    accepted_ = std::move(names);
}

bool CBusLink::ListenForBroadcasts() {
    if (listening_) return true;
    if (!bus_.isConnected()) return false;
    listening_ = bus_.connect(QString(), kBroadcastPath, kBroadcastInterface, "Message", this,
                              SLOT(OnBroadcast(QString, qlonglong, qlonglong)));
    return listening_;
}

bool CBusLink::PublishWindow(const QString& title) {
    if (!bus_.isConnected()) return false;
    UnpublishWindow();
    if (!adaptorHost_) adaptorHost_ = new CWindowAdaptor(this);
    if (!bus_.registerObject(kWindowPath, adaptorHost_, QDBusConnection::ExportAllSlots))
        return false;
    const QString service = WindowServiceName(title);
    if (!bus_.registerService(service)) {
        bus_.unregisterObject(kWindowPath);
        return false;
    }
    published_ = service;
    return true;
}

void CBusLink::UnpublishWindow() {
    if (published_.isEmpty()) return;
    bus_.unregisterService(published_);
    bus_.unregisterObject(kWindowPath);
    published_.clear();
}

bool CBusLink::Broadcast(const std::string& name, int64_t wParam, int64_t lParam) {
    if (!bus_.isConnected()) return false;
    QDBusMessage signal =
        QDBusMessage::createSignal(kBroadcastPath, kBroadcastInterface, "Message");
    signal << QString::fromStdString(name) << qlonglong(wParam) << qlonglong(lParam);
    return bus_.send(signal);
}

bool CBusLink::WindowExists(const QString& title) const {
    if (!bus_.isConnected() || !bus_.interface()) return false;
    const QDBusReply<bool> reply = bus_.interface()->isServiceRegistered(WindowServiceName(title));
    return reply.isValid() && reply.value();
}

std::optional<int64_t> CBusLink::SendTo(const QString& title, const std::string& name,
                                        int64_t wParam, int64_t lParam, int timeoutMs) {
    if (!bus_.isConnected()) return std::nullopt;
    QDBusMessage call = QDBusMessage::createMethodCall(WindowServiceName(title), kWindowPath,
                                                       kWindowInterface, "SendMessage");
    call << QString::fromStdString(name) << qlonglong(wParam) << qlonglong(lParam);
    const QDBusReply<qlonglong> reply = bus_.call(call, QDBus::Block, timeoutMs);
    if (!reply.isValid()) return std::nullopt;
    return reply.value();
}

bool CBusLink::PostTo(const QString& title, const std::string& name, int64_t wParam,
                      int64_t lParam) {
    if (!bus_.isConnected()) return false;
    QDBusMessage call = QDBusMessage::createMethodCall(WindowServiceName(title), kWindowPath,
                                                       kWindowInterface, "PostMessage");
    call << QString::fromStdString(name) << qlonglong(wParam) << qlonglong(lParam);
    call.setDelayedReply(false);
    call.setAutoStartService(false);
    return bus_.send(call);
}

std::optional<int64_t> CBusLink::CopyDataTo(const QString& title, int64_t wParam, int64_t dataType,
                                            const QByteArray& data, int timeoutMs) {
    if (!bus_.isConnected()) return std::nullopt;
    QDBusMessage call = QDBusMessage::createMethodCall(WindowServiceName(title), kWindowPath,
                                                       kWindowInterface, "CopyData");
    call << qlonglong(wParam) << qlonglong(dataType) << data;
    const QDBusReply<qlonglong> reply = bus_.call(call, QDBus::Block, timeoutMs);
    if (!reply.isValid()) return std::nullopt;
    return reply.value();
}

int64_t CBusLink::DeliverMessage(const QString& name, qlonglong wParam, qlonglong lParam) {
    const std::string key = name.toStdString();
    if (!accepted_.count(key)) {
        platform::DebugOutF("bus: message %s from another program refused", key.c_str());
        return 0;
    }
    return onMessage_ ? onMessage_(key, wParam, lParam) : 0;
}

int64_t CBusLink::DeliverCopyData(qlonglong wParam, qlonglong dataType, const QByteArray& data) {
    return onCopyData_ ? onCopyData_(wParam, dataType, data) : 0;
}

void CBusLink::OnBroadcast(const QString& name, qlonglong wParam, qlonglong lParam) {
    DeliverMessage(name, wParam, lParam);
}

}  // namespace app::ipc

#include "BusLink.moc"
