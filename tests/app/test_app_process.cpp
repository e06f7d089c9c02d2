// The real program in its own processes on a private session bus and Qt's
// offscreen platform, driven with the stock clients that docs/ipc.md shows.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "app/ipc/BusLink.h"
#include "app/ipc/MessageNames.h"

namespace {

const char* const kDest = "org.brommelivantos.Window.BROMMELIVANTOS";

void SpinUntil(const std::function<bool()>& done, int ms) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

struct ClientResult {
    int exitCode = -1;
    QString output;
};

ClientResult RunClient(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    p.waitForFinished(10000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError())};
}

ClientResult SendToMain(const QString& name, int w, int l) {
    return RunClient("gdbus", {"call", "--session", "--dest", kDest, "--object-path",
                               "/org/brommelivantos/Window", "--method",
                               "org.brommelivantos.Window1.SendMessage", name,
                               QString("int64 %1").arg(w), QString("int64 %1").arg(l)});
}

class ProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(home.isValid());
        env = QProcessEnvironment::systemEnvironment();
        const QString h = home.path();
        for (const char* dir : {"runtime", "config", "data"})
            QDir().mkpath(h + "/" + dir);
        QFile::setPermissions(h + "/runtime",
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env.insert("XDG_RUNTIME_DIR", h + "/runtime");
        env.insert("XDG_CONFIG_HOME", h + "/config");
        env.insert("XDG_DATA_HOME", h + "/data");
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("BROMMELIVANTOS_DEBUG", "1");
        env.remove("BROMMELIVANTOS_PROGRAM_DIR");
        program = QString::fromLocal8Bit(std::getenv("BROMMELIVANTOS_APP"));
        ASSERT_FALSE(program.isEmpty());
        first.setProcessEnvironment(env);
        first.start(program, {});
        ASSERT_TRUE(first.waitForStarted(5000));
        SpinUntil([&] { return Trace().contains("main window restored and raised"); }, 15000);
        ASSERT_TRUE(Trace().contains("main window restored and raised")) << Trace().toStdString();
    }
    void TearDown() override {
        if (first.state() != QProcess::NotRunning) {
            first.terminate();
            if (!first.waitForFinished(5000)) first.kill();
            first.waitForFinished(2000);
        }
    }
    // Everything the first copy wrote to its trace so far.
    QString Trace() {
        first.waitForReadyRead(1);
        trace += QString::fromUtf8(first.readAllStandardError());
        return trace;
    }
    bool TraceArrives(const QString& text, int ms = 5000) {
        SpinUntil([&] { return Trace().contains(text); }, ms);
        return Trace().contains(text);
    }

    QTemporaryDir home;
    QProcessEnvironment env;
    QString program;
    QProcess first;
    QString trace;
};

TEST_F(ProgramTest, SecondStartExitsAtOnceAndRaisesTheFirst) {
    const int raisedBefore = Trace().count("main window restored and raised");
    QProcess second;
    second.setProcessEnvironment(env);
    QElapsedTimer clock;
    clock.start();
    second.start(program, {});
    ASSERT_TRUE(second.waitForFinished(5000));
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    SpinUntil([&] { return Trace().count("main window restored and raised") > raisedBefore; },
              5000);
    EXPECT_GT(Trace().count("main window restored and raised (visible 1)"), raisedBefore);
    EXPECT_TRUE(Trace().contains("0d1d"));  // the broadcast's wParam 0, lParam 1
    EXPECT_EQ(first.state(), QProcess::Running);
}

TEST_F(ProgramTest, GameEventAndLightStatusArriveFromTheCommandLine) {
    ClientResult r = SendToMain("Game_Start", 0, 3);
    EXPECT_EQ(r.exitCode, 0) << r.output.toStdString();
    EXPECT_TRUE(TraceArrives("game event: wParam 0 lParam 3"));
    r = RunClient("dbus-send",
                  {"--session", "--print-reply", QString("--dest=") + kDest,
                   "/org/brommelivantos/Window", "org.brommelivantos.Window1.SendMessage",
                   "string:{4695579F-999A-41d4-9FAF-EFFCE93EBF17}", "int64:1", "int64:0"});
    EXPECT_EQ(r.exitCode, 0) << r.output.toStdString();
    EXPECT_TRUE(TraceArrives("light-control status 0 from another program"));
}

TEST_F(ProgramTest, HookMessagesFromOutsideAreRefused) {
    ClientResult r = SendToMain("WM_HOOK_KEY_SINGLEKEY_MSG", 1, 2);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.output.contains("int64 0"));
    EXPECT_TRUE(TraceArrives("WM_HOOK_KEY_SINGLEKEY_MSG from another program refused"));
}

TEST_F(ProgramTest, ToolMessageSendsTheDeviceListToTheToolWindow) {
    QProcess peer;
    peer.start(QString::fromLocal8Bit(std::getenv("WORKTOOL_PEER")), {});
    ASSERT_TRUE(peer.waitForStarted(5000));
    QString peerOut;
    SpinUntil(
        [&] {
            peer.waitForReadyRead(10);
            peerOut += QString::fromUtf8(peer.readAllStandardOutput());
            return peerOut.contains("ready");
        },
        5000);
    ASSERT_TRUE(peerOut.contains("ready"));

    ClientResult r = SendToMain("{4695579F-999A-41d4-9FAF-EFFCE93EBF18}", 0, 0);
    EXPECT_EQ(r.exitCode, 0) << r.output.toStdString();
    SpinUntil(
        [&] {
            peer.waitForReadyRead(10);
            peerOut += QString::fromUtf8(peer.readAllStandardOutput());
            return peerOut.contains("copydata");
        },
        5000);
    peer.waitForFinished(3000);
    const QStringList parts = peerOut.mid(peerOut.indexOf("copydata")).trimmed().split(' ');
    ASSERT_EQ(parts.size(), 4) << peerOut.toStdString();
    EXPECT_EQ(parts[1], "5");
    EXPECT_EQ(parts[2], "1024");
    const QByteArray block = QByteArray::fromHex(parts[3].toLatin1());
    ASSERT_EQ(block.size(), 1024);
    auto word = [&](int at) {
        uint32_t v;
        std::memcpy(&v, block.constData() + at, 4);
        return v;
    };
    EXPECT_EQ(word(16), 4u);
    // The catalogue rows: mouse, keyboard, mouse pad, headset.
    const uint32_t expected[4][3] = {
        {0x320F, 0x50EF, 2}, {0x320F, 0x5084, 1}, {0x320F, 0x1004, 3}, {0x0C76, 0x1630, 7}};
    for (int row = 0; row < 4; ++row)
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(word(20 + 12 * row + 4 * k), expected[row][k]);
}

TEST_F(ProgramTest, ToolMessageWithoutAToolWindowDoesNothing) {
    ClientResult r = SendToMain("{4695579F-999A-41d4-9FAF-EFFCE93EBF18}", 0, 0);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(first.state(), QProcess::Running);
    EXPECT_FALSE(Trace().contains("device list sent"));
}

TEST_F(ProgramTest, OversizedCopyDataIsCutToItsBuffer) {
    QStringList bytes;
    for (int i = 0; i < 3000; ++i)
        bytes << "7";
    ClientResult r =
        RunClient("dbus-send", {"--session", "--print-reply", QString("--dest=") + kDest,
                                "/org/brommelivantos/Window", "org.brommelivantos.Window1.CopyData",
                                "int64:0", "int64:1", "array:byte:" + bytes.join(',')});
    EXPECT_EQ(r.exitCode, 0) << r.output.toStdString();
    EXPECT_TRUE(r.output.contains("int64 2000")) << r.output.toStdString();
    r = RunClient("dbus-send", {"--session", "--print-reply", QString("--dest=") + kDest,
                                "/org/brommelivantos/Window", "org.brommelivantos.Window1.CopyData",
                                "int64:0", "int64:2", "array:byte:" + bytes.join(',')});
    EXPECT_TRUE(r.output.contains("int64 24")) << r.output.toStdString();
    EXPECT_EQ(first.state(), QProcess::Running);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
