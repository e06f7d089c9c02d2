#pragma once
// The single-instance lock: a lock file under the runtime folder stands in
// for a named mutex. It works without a session bus and is released by the
// kernel when the holding process ends, however it ends.
#include <string>

namespace platform {

class InstanceLock {
public:
    explicit InstanceLock(std::string name);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Takes the lock; false when another process holds it (or the file
    // cannot be created).
    bool TryAcquire();
    void Release();
    bool Held() const { return fd_ >= 0; }
    const std::string& Path() const { return path_; }

    // The lock file used for an instance name.
    static std::string PathFor(const std::string& name);
    // True when some process holds the lock of that name (probes without
    // keeping it).
    static bool IsHeldElsewhere(const std::string& name);

private:
    std::string path_;
    int fd_ = -1;
};

}  // namespace platform
