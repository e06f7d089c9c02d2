// A stand-in for the tool window: owns the window title "WorkTool" on the
// session bus, prints "ready", then prints the first data block it receives
// ("copydata TYPE SIZE HEX") and exits.
#include <QCoreApplication>
#include <QTimer>
#include <cstdio>

#include "app/ipc/BusLink.h"
#include "app/ipc/MessageNames.h"

int main(int argc, char** argv) {
    QCoreApplication qapp(argc, argv);
    app::ipc::CBusLink link;
    link.SetCopyDataHandler([](int64_t, int64_t type, const QByteArray& data) {
        std::printf("copydata %lld %lld %s\n", static_cast<long long>(type),
                    static_cast<long long>(data.size()), data.toHex().constData());
        std::fflush(stdout);
        QTimer::singleShot(200, [] { QCoreApplication::exit(0); });
        return int64_t(1);
    });
    if (!link.PublishWindow(QString::fromLatin1(app::ipc::kToolWindowTitle.data(),
                                                qsizetype(app::ipc::kToolWindowTitle.size())))) {
        std::fprintf(stderr, "cannot publish the tool window\n");
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    QTimer::singleShot(20000, [] { QCoreApplication::exit(2); });
    return qapp.exec();
}
