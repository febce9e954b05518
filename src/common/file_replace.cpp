#include "common/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include "input/error.h"

namespace px {

namespace {

// Bytes gathered before they go out in one write.
constexpr std::size_t kBufferBytes = 1 << 16;

// ------------------------------------------------ names the signal handler removes

struct PendingName {
    std::atomic<bool> used{false};
    std::atomic<bool> armed{false};
    char path[PATH_MAX];
};
constexpr int kPendingNames = 16;
PendingName g_pending[kPendingNames];

int remember(const std::string& path) {
    if (path.size() >= PATH_MAX) return -1;
    for (int i = 0; i < kPendingNames; ++i) {
        bool expected = false;
        if (!g_pending[i].used.compare_exchange_strong(expected, true)) continue;
        std::memcpy(g_pending[i].path, path.c_str(), path.size() + 1);
        g_pending[i].armed.store(true, std::memory_order_release);
        return i;
    }
    return -1;
}

void forget(int slot) {
    if (slot < 0) return;
    g_pending[slot].armed.store(false, std::memory_order_release);
    g_pending[slot].used.store(false, std::memory_order_release);
}

extern "C" void removePendingAndDie(int sig) {
    // Only async-signal-safe calls here.
    for (PendingName& p : g_pending)
        if (p.armed.load(std::memory_order_acquire)) ::unlink(p.path);
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

// ------------------------------------------------ paths

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// A fresh name in the target's folder: "<folder>/.pillarix-XXXXXXXX.tmp".
// Its length does not depend on the target's, so every name the folder can
// hold can be saved.
std::string temporaryName(const std::string& folder) {
    static std::atomic<unsigned long long> counter{0};
    static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    unsigned long long v = static_cast<unsigned long long>(
                               std::chrono::steady_clock::now().time_since_epoch().count()) ^
                           (static_cast<unsigned long long>(::getpid()) << 32) ^
                           (counter.fetch_add(1) * 0x9E3779B97F4A7C15ULL);
    std::string name = folder + "/.pillarix-";
    for (int i = 0; i < 8; ++i) {
        name += digits[v % 62];
        v /= 62;
    }
    return name + ".tmp";
}

// The errno of a name the file system cannot hold: its last part longer
// than the folder allows, or the whole path longer than a path may be.
int nameTooLong(const std::string& target, const std::string& folder) {
    if (target.size() >= PATH_MAX) return ENAMETOOLONG;
    const std::size_t slash = target.rfind('/');
    const std::size_t base = slash == std::string::npos ? target.size() : target.size() - slash - 1;
    errno = 0;
    long max = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    if (max < 0) max = NAME_MAX;  // no limit reported, or the folder is missing (reported when opened)
    return base > static_cast<std::size_t>(max) ? ENAMETOOLONG : 0;
}

bool retryable(int err) { return err == EEXIST; }

}  // namespace

WriteWording FileWording(const std::string& shown) {
    return {"Cannot create file \"" + shown + "\". ", "Cannot write file \"" + shown + "\". "};
}

FileReplacement::FileReplacement(const std::string& path, WriteWording wording)
    : target_(path), wording_(std::move(wording)) {
    auto failCreate = [&](int err) { throw AppError(wording_.create + std::strerror(err)); };
    if (target_.empty()) failCreate(ENOENT);

    struct stat st {};
    if (::lstat(target_.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        // The file the link points to is the one replaced. A link to nothing
        // is refused: replacing it would drop the link, and creating what it
        // names would write where the user may not expect.
        char* real = ::realpath(target_.c_str(), nullptr);
        if (!real) {
            const int err = errno;
            if (err != ENOENT) failCreate(err);
            throw AppError(wording_.create + "It is a symbolic link to a file that does not exist");
        }
        target_ = real;
        std::free(real);
    }
    const bool exists = ::stat(target_.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) failCreate(EISDIR);
    if (exists && !S_ISREG(st.st_mode)) {
        direct_ = true;
        fd_ = ::open(target_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        if (fd_ < 0) failCreate(errno);
        buffer_.reserve(kBufferBytes);
        return;
    }

    folder_ = folderOf(target_);
    // Refused now, not at the rename after all the work.
    if (const int err = nameTooLong(target_, folder_)) failCreate(err);
    fd_ = ::open(folder_.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd_ >= 0) {
        unnamed_ = true;
    } else if (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL) {
        // The file system has no unnamed files: a named one, removed on
        // failure and on the signals that stop the program. The name is
        // known to the signal handler before the file exists, so a signal
        // while it is being created cannot leave it behind.
        int err = 0;
        for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
            tempPath_ = temporaryName(folder_);
            signalSlot_ = remember(tempPath_);
            fd_ = ::open(tempPath_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd_ >= 0) break;
            err = errno;
            forget(signalSlot_);
            signalSlot_ = -1;
            tempPath_.clear();
            if (!retryable(err)) break;
        }
        if (fd_ < 0) failCreate(err);
    } else {
        failCreate(errno);
    }
    // An existing file keeps its permissions.
    if (exists) (void)::fchmod(fd_, st.st_mode & 07777);
    buffer_.reserve(kBufferBytes);
}

FileReplacement::~FileReplacement() { discard(); }

void FileReplacement::discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!tempPath_.empty()) ::unlink(tempPath_.c_str());
    tempPath_.clear();
    forget(signalSlot_);
    signalSlot_ = -1;
}

void FileReplacement::fail(int err) {
    discard();
    throw AppError(wording_.write + std::strerror(err));
}

void FileReplacement::writeOut(const char* data, std::size_t size) {
    if (fd_ < 0) fail(EBADF);
    while (size > 0) {
        const ssize_t n = ::write(fd_, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            fail(errno);
        }
        if (n == 0) fail(EIO);
        data += n;
        size -= static_cast<std::size_t>(n);
    }
}

void FileReplacement::flushBuffer() {
    if (buffer_.empty()) return;
    writeOut(buffer_.data(), buffer_.size());
    buffer_.clear();
}

void FileReplacement::write(std::string_view bytes) {
    if (buffer_.size() + bytes.size() <= kBufferBytes) {
        buffer_.append(bytes);
        return;
    }
    flushBuffer();
    if (bytes.size() >= kBufferBytes) writeOut(bytes.data(), bytes.size());
    else buffer_.append(bytes);
}

void FileReplacement::commit() {
    flushBuffer();
    if (direct_) {
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0 && errno != EINTR) fail(errno);
        return;
    }
    // On disk before it takes the target's name; a file system that cannot
    // sync says so, and that is not a failure of the write.
    if (::fsync(fd_) != 0 && errno != EINVAL && errno != EROFS && errno != ENOTSUP) fail(errno);
    if (unnamed_) {
        // Give the file a name beside the target, then rename that.
        const std::string self = "/proc/self/fd/" + std::to_string(fd_);
        int linked = -1;
        for (int attempt = 0; attempt < 100; ++attempt) {
            tempPath_ = temporaryName(folder_);
            signalSlot_ = remember(tempPath_);
            linked = ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, tempPath_.c_str(), AT_SYMLINK_FOLLOW);
            if (linked != 0 && errno == ENOENT)  // no /proc
                linked = ::linkat(fd_, "", AT_FDCWD, tempPath_.c_str(), AT_EMPTY_PATH);
            if (linked == 0) break;
            const int err = errno;
            forget(signalSlot_);
            signalSlot_ = -1;
            tempPath_.clear();
            if (!retryable(err)) fail(err);
        }
        if (linked != 0) fail(EEXIST);
    }
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 && errno != EINTR) fail(errno);
    if (::rename(tempPath_.c_str(), target_.c_str()) != 0) fail(errno);
    tempPath_.clear();
    forget(signalSlot_);
    signalSlot_ = -1;
}

void ReplaceFileWith(const std::string& path, std::string_view bytes, const WriteWording& wording) {
    FileReplacement file(path, wording);
    file.write(bytes);
    file.commit();
}

void RemoveTemporaryFilesOnSignals() {
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction old {};
        if (::sigaction(sig, nullptr, &old) != 0 || old.sa_handler == SIG_IGN) continue;
        struct sigaction sa {};
        sa.sa_handler = removePendingAndDie;
        sigemptyset(&sa.sa_mask);
        ::sigaction(sig, &sa, nullptr);
    }
}

}  // namespace px
