// Messages with other programs, over a private session bus, driven with the
// stock command-line clients that docs/ipc.md shows.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <chrono>
#include <string>
#include <vector>

#include "app/ipc/BusLink.h"
#include "app/ipc/MessageNames.h"

using namespace app::ipc;

namespace {

struct Received {
    std::string name;
    int64_t w, l;
};

// Runs a client program while the event loop keeps serving the bus.
QString RunClient(const QString& program, const QStringList& args, int* exitCode = nullptr) {
    QProcess p;
    p.start(program, args);
    EXPECT_TRUE(p.waitForStarted(5000));
    QElapsedTimer t;
    t.start();
    while (p.state() != QProcess::NotRunning && t.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        p.waitForFinished(5);
    }
    if (exitCode) *exitCode = p.exitCode();
    return QString::fromUtf8(p.readAllStandardOutput()) +
           QString::fromUtf8(p.readAllStandardError());
}

void SpinUntil(const std::function<bool()>& done, int ms = 3000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

class BusLinkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        link.SetAcceptedNames(
            {std::string(kInstanceName), "Game_Start", std::string(kLightControlStatusMessage)});
        link.SetMessageHandler([this](const std::string& n, int64_t w, int64_t l) {
            got.push_back({n, w, l});
            return int64_t(42);
        });
        link.SetCopyDataHandler([this](int64_t, int64_t type, const QByteArray& data) {
            copies.emplace_back(type, data);
            return int64_t(data.size());
        });
        ASSERT_TRUE(link.IsConnected());
        ASSERT_TRUE(link.ListenForBroadcasts());
        ASSERT_TRUE(link.PublishWindow("BROMMELIVANTOS"));
    }
    CBusLink link;
    std::vector<Received> got;
    std::vector<std::pair<int64_t, QByteArray>> copies;
};

}  // namespace

TEST_F(BusLinkTest, BroadcastsFromOtherProgramsArriveByName) {
    RunClient("gdbus",
              {"emit", "--session", "--object-path", kBroadcastPath, "--signal",
               QString(kBroadcastInterface) + ".Message", "'Game_Start'", "int64 2", "int64 7"});
    // A hook message from outside is refused.
    RunClient("gdbus", {"emit", "--session", "--object-path", kBroadcastPath, "--signal",
                        QString(kBroadcastInterface) + ".Message", "'WM_HOOK_KEY_SINGLEKEY_MSG'",
                        "int64 1", "int64 1"});
    SpinUntil([&] { return !got.empty(); });
    QCoreApplication::processEvents(QEventLoop::AllEvents, 200);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].name, "Game_Start");
    EXPECT_EQ(got[0].w, 2);
    EXPECT_EQ(got[0].l, 7);
}

TEST_F(BusLinkTest, OwnBroadcastReachesEveryListenerOnce) {
    CBusLink other(QDBusConnection::connectToBus(QDBusConnection::SessionBus, "other"));
    std::vector<std::string> otherGot;
    other.SetAcceptedNames({std::string(kInstanceName)});
    other.SetMessageHandler([&](const std::string& n, int64_t, int64_t) {
        otherGot.push_back(n);
        return int64_t(0);
    });
    ASSERT_TRUE(other.ListenForBroadcasts());
    ASSERT_TRUE(link.Broadcast(std::string(kInstanceName), 0, 1));
    SpinUntil([&] { return !otherGot.empty() && !got.empty(); });
    QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
    EXPECT_EQ(otherGot.size(), 1u);
    EXPECT_EQ(got.size(), 1u);
}

TEST_F(BusLinkTest, MethodCallsFromCommandLineClients) {
    const QString dest = WindowServiceName("BROMMELIVANTOS");
    const QString reply = RunClient(
        "gdbus", {"call", "--session", "--dest", dest, "--object-path", kWindowPath, "--method",
                  QString(kWindowInterface) + ".SendMessage",
                  QString::fromLatin1(kLightControlStatusMessage.data()), "int64 1", "int64 0"});
    EXPECT_TRUE(reply.contains("42")) << reply.toStdString();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].name, std::string(kLightControlStatusMessage));
    EXPECT_EQ(got[0].l, 0);

    int rc = -1;
    const QString copy = RunClient(
        "dbus-send",
        {"--session", "--print-reply", "--dest=" + dest, kWindowPath,
         QString(kWindowInterface) + ".CopyData", "int64:0", "int64:2", "array:byte:1,2,3,4,5"},
        &rc);
    EXPECT_EQ(rc, 0) << copy.toStdString();
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(copies[0].first, 2);
    EXPECT_EQ(copies[0].second, QByteArray("\x01\x02\x03\x04\x05", 5));

    // A refused name answers 0 and reaches no handler.
    const QString refused =
        RunClient("gdbus", {"call", "--session", "--dest", dest, "--object-path", kWindowPath,
                            "--method", QString(kWindowInterface) + ".SendMessage",
                            "WM_HOOK_KEY_KBMACRO_MSG", "int64 0", "int64 0"});
    EXPECT_TRUE(refused.contains("(int64 0,)")) << refused.toStdString();
    EXPECT_EQ(got.size(), 1u);
}

TEST_F(BusLinkTest, TitleIsOwnedOnceAndAbsentWindowsAreReported) {
    CBusLink second(QDBusConnection::connectToBus(QDBusConnection::SessionBus, "second"));
    EXPECT_FALSE(second.PublishWindow("BROMMELIVANTOS"));
    EXPECT_TRUE(second.WindowExists("BROMMELIVANTOS"));
    EXPECT_FALSE(second.WindowExists("WorkTool"));
    EXPECT_FALSE(second.SendTo("WorkTool", "x", 0, 0).has_value());
    EXPECT_EQ(WindowServiceName("9 bad.name"), QString("org.brommelivantos.Window._9_bad_name"));
}

TEST_F(BusLinkTest, HungPeerTimesOut) {
    // The peer serves its window on this (blocked) thread, so it cannot answer.
    CBusLink peer(QDBusConnection::connectToBus(QDBusConnection::SessionBus, "peer"));
    peer.SetAcceptedNames({"ping"});
    ASSERT_TRUE(peer.PublishWindow("WorkTool"));
    CBusLink caller(QDBusConnection::connectToBus(QDBusConnection::SessionBus, "caller"));
    QElapsedTimer t;
    t.start();
    EXPECT_FALSE(caller.SendTo("WorkTool", "ping", 0, 0, 300).has_value());
    EXPECT_LT(t.elapsed(), 3000);
}

TEST_F(BusLinkTest, CopyDataReachesAPeerOnAnotherThread) {
    QThread thread;
    QByteArray received;
    auto* peer =
        new CBusLink(QDBusConnection::connectToBus(QDBusConnection::SessionBus, "threadpeer"));
    peer->SetCopyDataHandler([&](int64_t, int64_t type, const QByteArray& d) {
        received = d;
        return type;
    });
    ASSERT_TRUE(peer->PublishWindow("WorkTool"));
    peer->moveToThread(&thread);
    thread.start();
    QByteArray block(1024, '\0');
    block[16] = 4;
    const auto answer = link.CopyDataTo("WorkTool", 0, 5, block);
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(*answer, 5);
    EXPECT_EQ(received, block);
    QMetaObject::invokeMethod(
        peer, [peer] { delete peer; }, Qt::BlockingQueuedConnection);
    thread.quit();
    thread.wait();
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
