#include "hid/scan/ScanThread.h"

#include "hid/HidDevice.h"
#include "platform/Debug.h"

namespace hid::scan {

CScanThread::CScanThread(CInterfaceSlots& slots, IScanSink& sink, ScanOptions options)
    : slots_(slots), sink_(sink), options_(options) {
    if (options_.periodMs < 1) options_.periodMs = 1;
    if (options_.udevMonitor) waker_.EnableUdevMonitor();
}

CScanThread::~CScanThread() {
    Stop();
}

bool CScanThread::Start() {
    return worker_.Start("device scan",
                         [this](platform::StopEvent& stop) { ScanThreadProc(stop); });
}

void CScanThread::Stop(int graceMs) {
    worker_.RequestStop();
    waker_.Wake();
    worker_.Stop(graceMs);
}

void CScanThread::ScanThreadProc(platform::StopEvent& stop) {
    if (!ident_) ident_ = std::make_unique<CHidDevice>();
    // The stop event was created unset before the thread started; resetting
    // it here could lose a stop request that came first.
    bool firstPass = true;
    for (;;) {
        if (stop.Wait(1)) {
            platform::DebugOut("抓取设备线程设定退出");
            break;
        }
        if (slots_.HasFreeSlot()) {
            // A failed enumeration only skips this pass's arrivals; the
            // presence test still runs and the next pass tries again.
            if (!ScanArrivals(stop)) failedEnumerations_.fetch_add(1);
            if (firstPass) {
                firstPass = false;
                sink_.OnFirstPassDone();
            }
        }
        PresenceTest();
        passes_.fetch_add(1);
        if (stop.IsSet()) continue;
        waker_.Wait(options_.periodMs);
    }
}

bool CScanThread::ScanArrivals(const platform::StopEvent& stop) {
    if (!ident_->EnumerateInterfaces()) return false;
    while (const std::string* path = ident_->NextPath()) {
        if (stop.IsSet()) break;
        if (!slots_.IsFreeCandidate(ParseHidPathIds(*path))) continue;
        // NextPath points into the list; Identify reuses the object.
        const std::string copy = *path;
        Identify(copy);
    }
    ident_->FreePathList();
    return true;
}

void CScanThread::Identify(const std::string& path) {
    // An interface that cannot be opened now is tried again next pass.
    if (!ident_->Open(path, true, false, true, false)) return;
    HidPathIds ids = ParseHidPathIds(path);
    ids.vendorId = ident_->Attributes().vendorId;
    ids.productId = ident_->Attributes().productId;
    const uint16_t usagePage = ident_->Caps().usagePage;
    const uint16_t usage = ident_->Caps().usage;
    ident_->Close();
    if (const auto slot = slots_.ClaimSlot(ids, usagePage, usage, path)) {
        sink_.OnInterfaceArrived(*slot);
    }
}

void CScanThread::PresenceTest() {
    for (const auto& [index, path] : slots_.Claimed()) {
        if (CHidDevice::IsPresent(path)) continue;
        if (slots_.Release(index)) sink_.OnInterfaceRemoved(index);
    }
}

}  // namespace hid::scan
