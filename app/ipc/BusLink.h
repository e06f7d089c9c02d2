#pragma once
// Messages with other programs over the D-Bus session bus.
//
// - A broadcast is the signal org.brommelivantos.Broadcast1.Message(name,
//   wParam, lParam) on /org/brommelivantos/Broadcast; every running program
//   that listens receives it, the sender included.
// - A window that other programs may address by its title owns the bus name
//   org.brommelivantos.Window.<title> and serves /org/brommelivantos/Window
//   with org.brommelivantos.Window1: PostMessage(s name, x w, x l),
//   SendMessage(s name, x w, x l) -> x, CopyData(x w, x type, ay data) -> x.
//
// Only names travel; the receiver maps them to its own message numbers and
// accepts only the names it was told to accept from outside.
#include <QByteArray>
#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>

namespace app::ipc {

inline constexpr const char* kBroadcastPath = "/org/brommelivantos/Broadcast";
inline constexpr const char* kBroadcastInterface = "org.brommelivantos.Broadcast1";
inline constexpr const char* kWindowPath = "/org/brommelivantos/Window";
inline constexpr const char* kWindowInterface = "org.brommelivantos.Window1";
inline constexpr const char* kWindowServicePrefix = "org.brommelivantos.Window.";
// Calls to other programs' windows give up after this long, so a hung peer
// cannot freeze the window or the exit.
inline constexpr int kPeerTimeoutMs = 1500;

// The bus name of a window title; characters a bus name cannot hold become "_".
QString WindowServiceName(const QString& title);

class CBusLink : public QObject {
    Q_OBJECT
  public:
    // A named message arrived (broadcast or addressed to our window). The
    // return value answers SendMessage.
    using MessageHandler =
        std::function<int64_t(const std::string& name, int64_t wParam, int64_t lParam)>;
    // Data arrived (WM_COPYDATA style). The return value answers CopyData.
    using CopyDataHandler =
        std::function<int64_t(int64_t wParam, int64_t dataType, const QByteArray& data)>;

    explicit CBusLink(QDBusConnection connection = QDBusConnection::sessionBus(),
                      QObject* parent = nullptr);
    ~CBusLink() override;

    bool IsConnected() const;

    // Names accepted from other processes; everything else is dropped.
    void SetAcceptedNames(std::set<std::string> names);
    void SetMessageHandler(MessageHandler handler) { onMessage_ = std::move(handler); }
    void SetCopyDataHandler(CopyDataHandler handler) { onCopyData_ = std::move(handler); }

    // Receives broadcasts from now on.
    bool ListenForBroadcasts();
    // Makes our window reachable by its title. False when the bus is absent or
    // another program already owns the title.
    bool PublishWindow(const QString& title);
    void UnpublishWindow();

    // Posts a broadcast to every listening program.
    bool Broadcast(const std::string& name, int64_t wParam, int64_t lParam);
    // True when a window with that title is reachable.
    bool WindowExists(const QString& title) const;
    // Synchronous message to another program's window; nothing on time-out,
    // absence or refusal.
    std::optional<int64_t> SendTo(const QString& title, const std::string& name, int64_t wParam,
                                  int64_t lParam, int timeoutMs = kPeerTimeoutMs);
    bool PostTo(const QString& title, const std::string& name, int64_t wParam, int64_t lParam);
    std::optional<int64_t> CopyDataTo(const QString& title, int64_t wParam, int64_t dataType,
                                      const QByteArray& data, int timeoutMs = kPeerTimeoutMs);

    // D-Bus entry points (the adaptor calls these).
    int64_t DeliverMessage(const QString& name, qlonglong wParam, qlonglong lParam);
    int64_t DeliverCopyData(qlonglong wParam, qlonglong dataType, const QByteArray& data);

  private slots:
    void OnBroadcast(const QString& name, qlonglong wParam, qlonglong lParam);

  private:
    QDBusConnection bus_;
    QString published_;
    std::set<std::string> accepted_;
    MessageHandler onMessage_;
    CopyDataHandler onCopyData_;
    bool listening_ = false;
    QObject* adaptorHost_ = nullptr;
};

}  // namespace app::ipc
