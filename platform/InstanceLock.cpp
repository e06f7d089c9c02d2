#include "platform/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "platform/Folders.h"

namespace platform {

InstanceLock::InstanceLock(std::string name) : path_(PathFor(name)) {}

InstanceLock::~InstanceLock() { Release(); }

std::string InstanceLock::PathFor(const std::string& name) { return RuntimeFolder() + name + ".lock"; }

bool InstanceLock::TryAcquire() {
    if (fd_ >= 0) return true;
    const int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

void InstanceLock::Release() {
    if (fd_ < 0) return;
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
}

bool InstanceLock::IsHeldElsewhere(const std::string& name) {
    const std::string path = PathFor(name);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;  // no file: nobody ever took it
    const bool free = ::flock(fd, LOCK_SH | LOCK_NB) == 0;
    ::close(fd);
    return !free;
}

}  // namespace platform
