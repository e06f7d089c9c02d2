// brommelivantos-ctl watch: runs the device scan and prints one line per
// interface that arrives or leaves, until interrupted (or after --count
// events or --seconds seconds). Interfaces present at the start are
// reported as arrivals.
#include <pthread.h>
#include <signal.h>
#include <time.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "hid/Catalog.h"
#include "hid/scan/ScanThread.h"
#include "tools/ctl/CtlCommand.h"
#include "tools/ctl/CtlSupport.h"

namespace {

struct WatchLimits {
    long count = 0;      // 0: no limit
    double seconds = 0;  // 0: no limit
};

bool ParseNumber(const std::string& text, double& out) {
    char* end = nullptr;
    errno = 0;
    out = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0' && errno == 0 && out > 0 && out < 1e9;
}

// Parses --count N and --seconds S; false with a message otherwise.
bool ParseLimits(const std::vector<std::string>& args, WatchLimits& limits, std::string& error) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if ((a != "--count" && a != "--seconds") || i + 1 >= args.size()) {
            error = "watch: unknown or incomplete argument '" + a + "'";
            return false;
        }
        double value = 0;
        if (!ParseNumber(args[++i], value)) {
            error = "watch: " + a + " needs a positive number";
            return false;
        }
        if (a == "--count") {
            if (value != double(long(value))) {
                error = "watch: --count needs a whole number";
                return false;
            }
            limits.count = long(value);
        } else {
            limits.seconds = value;
        }
    }
    return true;
}

std::string TimeStamp() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const time_t secs = system_clock::to_time_t(now);
    const long ms = long(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
    tm local{};
    localtime_r(&secs, &local);
    char text[48];
    const size_t n = strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    std::snprintf(text + n, sizeof text - n, ".%03ld", ms);
    return text;
}

// Prints the scan's changes; stops printing once the event limit is reached.
class CWatchSink : public hid::scan::IScanSink {
  public:
    CWatchSink(hid::scan::CInterfaceSlots& slots, std::ostream& out, bool json, long limit)
        : slots_(slots), out_(out), json_(json), limit_(limit) {}

    void OnInterfaceArrived(size_t slot) override {
        const std::string path = slots_.Slot(slot).path;
        {
            std::lock_guard lock(mutex_);
            paths_[slot] = path;
        }
        Print("arrived", slot, path);
    }
    void OnInterfaceRemoved(size_t slot) override {
        std::string path;
        {
            std::lock_guard lock(mutex_);
            path = paths_[slot];
            paths_.erase(slot);
        }
        Print("removed", slot, path);
    }
    void OnFirstPassDone() override {}

    bool LimitReached() const { return limit_ > 0 && printed_.load() >= limit_; }

  private:
    void Print(const char* what, size_t slot, const std::string& path) {
        std::lock_guard lock(mutex_);
        if (LimitReached()) return;
        const hid::InterfaceSlot s = slots_.Slot(slot);
        const std::string stamp = TimeStamp();
        char fields[160];
        if (json_) {
            std::snprintf(fields, sizeof fields,
                          "{\"time\": \"%s\", \"event\": \"%s\", \"slot\": %zu, \"row\": %zu, "
                          "\"typeCode\": %u, \"channel\": %u, \"path\": ",
                          stamp.c_str(), what, slot, slot, unsigned(s.typeCode),
                          unsigned(s.channel));
            out_ << fields << ctl::JsonString(path) << "}\n";
        } else {
            // The slot list is the interface table in order: slot i serves row i.
            std::snprintf(fields, sizeof fields, "%s\t%s\t%zu\t%zu\t%u\t%u\t", stamp.c_str(), what,
                          slot, slot, unsigned(s.typeCode), unsigned(s.channel));
            out_ << fields << path << "\n";
        }
        out_.flush();
        printed_.fetch_add(1);
    }

    hid::scan::CInterfaceSlots& slots_;
    std::ostream& out_;
    const bool json_;
    const long limit_;
    std::mutex mutex_;
    std::map<size_t, std::string> paths_;
    std::atomic<long> printed_{0};
};

// Waits up to ms for SIGINT or SIGTERM (blocked in every thread); true when one came.
bool WaitForSignal(const sigset_t& signals, int ms) {
    timespec wait{ms / 1000, long(ms % 1000) * 1000000L};
    return sigtimedwait(&signals, nullptr, &wait) > 0;
}

int RunWatch(ctl::CtlContext& ctx) {
    WatchLimits limits;
    std::string error;
    if (!ParseLimits(ctx.args, limits, error)) {
        *ctx.err << "brommelivantos-ctl: " << error << "\n";
        return 2;
    }
    // Block the signals before the scan thread starts so that it inherits
    // the mask and only this thread takes them.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigset_t previous;
    pthread_sigmask(SIG_BLOCK, &signals, &previous);

    hid::scan::CInterfaceSlots slots;
    CWatchSink sink(slots, *ctx.out, ctx.json, limits.count);
    hid::scan::ScanOptions options;
    options.udevMonitor = true;
    int rc = 0;
    {
        hid::scan::CScanThread scan(slots, sink, options);
        if (!scan.Start()) {
            *ctx.err << "brommelivantos-ctl: cannot start the device scan\n";
            rc = 1;
        } else {
            const auto start = std::chrono::steady_clock::now();
            for (;;) {
                if (WaitForSignal(signals, 50) || sink.LimitReached()) break;
                const std::chrono::duration<double> elapsed =
                    std::chrono::steady_clock::now() - start;
                if (limits.seconds > 0 && elapsed.count() >= limits.seconds) break;
            }
            scan.Stop();
        }
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return rc;
}

BROM_CTL_COMMAND(
    "watch", "watch [--count N] [--seconds S]",
    "Watches the supported HID interfaces come and go, one tab-separated line per\n"
    "change: time, 'arrived' or 'removed', slot, table row, type code, channel, path.\n"
    "Interfaces present at the start are reported as arrivals. Runs until Ctrl+C\n"
    "(exit 0), or until N lines were printed or S seconds have passed. With --json:\n"
    "one JSON object per line with the same fields.",
    &RunWatch);

}  // namespace
