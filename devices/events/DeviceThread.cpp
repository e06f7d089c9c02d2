#include "devices/events/DeviceThread.h"

#include "platform/Debug.h"

namespace devices::events {

bool CDeviceThread::Start(std::string name, platform::WorkerThread::Body body) {
    if (worker_.IsRunning()) return false;
    done_.Reset();
    return worker_.Start(std::move(name),
                         [this, body = std::move(body)](platform::StopEvent& stop) {
                             body(stop);
                             done_.Set();
                         });
}

void CDeviceThread::Stop(int graceMs) {
    if (!worker_.IsRunning()) return;
    worker_.RequestStop();
    if (worker_.IsCurrentThread()) return;
    platform::DebugOut(done_.Wait(graceMs) ? kThreadEndedTrace : kThreadTimeoutTrace);
    worker_.Stop(graceMs);
}

}  // namespace devices::events
