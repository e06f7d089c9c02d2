#include "platform/Debug.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <mutex>

namespace platform {
namespace {

std::mutex g_sinkMutex;
DebugSink g_sink;

bool EnvEnabled() {
    static const bool enabled = [] {
        const char* v = std::getenv("BROMMELIVANTOS_DEBUG");
        return v && std::strcmp(v, "1") == 0;
    }();
    return enabled;
}

}  // namespace

bool DebugEnabled() {
    std::lock_guard lock(g_sinkMutex);
    return g_sink != nullptr || EnvEnabled();
}

void DebugOut(std::string_view line) {
    std::lock_guard lock(g_sinkMutex);
    if (g_sink) {
        g_sink(line);
        return;
    }
    if (!EnvEnabled()) return;
    std::fwrite(line.data(), 1, line.size(), stderr);
    if (line.empty() || line.back() != '\n') std::fputc('\n', stderr);
}

void DebugOutF(const char* fmt, ...) {
    if (!DebugEnabled()) return;
    char buf[1024];
    va_list ap;
    va_start(ap, fmt);
    int n = std::vsnprintf(buf, sizeof buf, fmt, ap);
    va_end(ap);
    if (n < 0) return;
    DebugOut(std::string_view(buf, std::min<size_t>(static_cast<size_t>(n), sizeof buf - 1)));
}

void SetDebugSink(DebugSink sink) {
    std::lock_guard lock(g_sinkMutex);
    g_sink = std::move(sink);
}

}  // namespace platform
