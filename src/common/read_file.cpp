#include "common/read_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace px {

namespace {

struct Fd {
    int fd;
    ~Fd() {
        if (fd >= 0) ::close(fd);
    }
};

[[noreturn]] void Refuse(const std::function<void(const FileReadFault&)>& refuse, const FileReadFault& f) {
    refuse(f);
    // `refuse` throws; a caller's slip must not read on.
    throw std::logic_error("ReadRegularFile: the refusal returned");
}

}  // namespace

std::string ReadRegularFile(const std::string& path, unsigned long long maxBytes,
                            const std::function<void(const FileReadFault&)>& refuse) {
    // Not blocking: a FIFO with no writer must not hold the open.
    const Fd file{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
    if (file.fd < 0) Refuse(refuse, {FileReadFault::Open, errno, 0});
    struct stat st {};
    if (::fstat(file.fd, &st) != 0) Refuse(refuse, {FileReadFault::Open, errno, 0});
    if (S_ISDIR(st.st_mode)) Refuse(refuse, {FileReadFault::Open, EISDIR, 0});
    // A FIFO or a device may never end: only a file is read.
    if (!S_ISREG(st.st_mode)) Refuse(refuse, {FileReadFault::NotAFile, 0, 0});
    const auto size = static_cast<unsigned long long>(st.st_size);
    if (size > maxBytes) Refuse(refuse, {FileReadFault::TooLarge, 0, size});
    std::string bytes;
    bytes.reserve(static_cast<size_t>(size));
    char buf[1 << 16];
    for (;;) {
        const ssize_t got = ::read(file.fd, buf, sizeof buf);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) Refuse(refuse, {FileReadFault::Read, errno, 0});
        if (got == 0) break;
        bytes.append(buf, static_cast<size_t>(got));
        if (bytes.size() > maxBytes) Refuse(refuse, {FileReadFault::Grew, 0, 0});
    }
    return bytes;
}

}  // namespace px
