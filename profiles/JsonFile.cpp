#include "profiles/JsonFile.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <exception>
#include <filesystem>
#include <memory>

// The styled writer is the format of every stored file; jsoncpp marks it
// deprecated in favour of the stream builder, whose layout differs slightly.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <json/reader.h>
#include <json/writer.h>
#pragma GCC diagnostic pop

#include "platform/Debug.h"

namespace profiles {
namespace {

// Closes a descriptor when it leaves scope.
class FdGuard {
  public:
    explicit FdGuard(int fd) : fd_(fd) {}
    ~FdGuard() {
        if (fd_ >= 0) ::close(fd_);
    }
    FdGuard(const FdGuard&) = delete;
    FdGuard& operator=(const FdGuard&) = delete;
    int get() const { return fd_; }
    int release() {
        int fd = fd_;
        fd_ = -1;
        return fd;
    }

  private:
    int fd_;
};

// Reads a regular file whole; false when it cannot be opened, is not a regular
// file (a FIFO or device would block or never end) or exceeds the size cap.
bool ReadWholeFile(const std::string& path, std::string& text) {
    errno = 0;
    FdGuard fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    platform::DebugOutF("readjsonFile 错误吗：：%d\n", fd.get() < 0 ? errno : 0);
    if (fd.get() < 0) return false;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    if (static_cast<unsigned long long>(st.st_size) > CJsonFile::kMaxFileBytes) return false;
    text.clear();
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) break;
        // The file may grow while it is read: keep the cap on what is taken.
        if (text.size() + static_cast<size_t>(n) > CJsonFile::kMaxFileBytes) return false;
        text.append(buffer, static_cast<size_t>(n));
    }
    return true;
}

bool WriteAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

std::string FolderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Writes go to the file a symbolic link points at (existing or not yet), so
// the link survives.
std::string ResolvedTarget(const std::string& path) {
    namespace fs = std::filesystem;
    fs::path target = path;
    std::error_code ec;
    for (int depth = 0; depth < 40 && fs::is_symlink(target, ec); ++depth) {
        fs::path next = fs::read_symlink(target, ec);
        if (ec) return path;
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    return target.string();
}

// Creates a fresh temporary file beside target. The kernel applies the umask
// to the 0666 mode, as for any new file; no process-wide state is touched.
int CreateTempBeside(const std::string& target, std::string& temp) {
    const std::string base = FolderOf(target) + "/." + BaseNameOf(target) + ".";
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        unsigned char random[8];
        if (::getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random)) return -1;
        temp = base;
        for (unsigned char r : random)
            temp += kChars[r % (sizeof kChars - 1)];
        int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// A replaced file keeps its permission bits.
bool KeepMode(int fd, const std::string& target) {
    struct stat st {};
    if (::stat(target.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return true;
    return ::fchmod(fd, st.st_mode & 07777) == 0;
}

void SyncFolder(const std::string& folder) {
    FdGuard fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() >= 0) ::fsync(fd.get());
}

}  // namespace

Json::Value CJsonFile::ParseJsonText(std::string_view text) {
    if (text.empty() || text.size() > kMaxFileBytes) return Json::Value();
    Json::CharReaderBuilder builder;
    builder["allowComments"] = true;
    builder["collectComments"] = false;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value root;
    std::string errors;
    try {
        if (!reader->parse(text.data(), text.data() + text.size(), &root, &errors)) {
            return Json::Value();
        }
    } catch (const std::exception&) {
        // Nesting beyond the reader's depth limit is reported by an exception.
        return Json::Value();
    }
    return root;
}

Json::Value CJsonFile::ReadJsonFile(const std::string& path) const {
    std::string text;
    if (!ReadWholeFile(path, text) || text.empty()) {
        platform::DebugOutF("%s\n", path.c_str());
        return Json::Value();
    }
    return ParseJsonText(text);
}

std::string CJsonFile::StyledText(const Json::Value& value) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    Json::StyledWriter writer;
    std::string styled = writer.write(value);
#pragma GCC diagnostic pop
    while (!styled.empty() && styled.back() == '\n')
        styled.pop_back();
    // Strings are escaped, so every raw line feed is a line end of the layout.
    std::string out;
    out.reserve(styled.size() + styled.size() / 8 + 2);
    for (char c : styled) {
        if (c == '\n') out += '\r';
        out += c;
    }
    out += "\r\n";
    return out;
}

bool CJsonFile::WriteJsonFile(const std::string& path, const Json::Value& value) const {
    if (path.empty()) return false;
    const std::string text = StyledText(value);
    const std::string target = ResolvedTarget(path);
    std::string temp;
    FdGuard fd(CreateTempBeside(target, temp));
    if (fd.get() < 0) return false;
    bool ok = KeepMode(fd.get(), target) && WriteAll(fd.get(), text) && ::fsync(fd.get()) == 0;
    ok = ::close(fd.release()) == 0 && ok;
    if (!ok || ::rename(temp.c_str(), target.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    SyncFolder(FolderOf(target));
    return true;
}

std::string CJsonFile::MakeTimeStamp() {
    struct timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    struct tm local {};
    ::localtime_r(&now.tv_sec, &local);
    char text[64];
    std::snprintf(text, sizeof text, "%d_%02d_%02d_%02d_%02d_%02d_%03d", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                  static_cast<int>(now.tv_nsec / 1000000));
    return text;
}

}  // namespace profiles
