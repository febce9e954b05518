#include "geometry/source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>

#include "geometry/dxf_reader.h"
#include "geometry/section_file.h"
#include "input/error.h"
#include "loads/text_decode.h"

namespace px::geom {

namespace {
bool EndsWithDxf(const std::string& name) {
    if (name.size() < 4) return false;
    std::string ext = name.substr(name.size() - 4);
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return ext == ".dxf";
}
}  // namespace

Shape ReadSectionSource(std::string_view content, const std::string& name) {
    if (EndsWithDxf(name) || IsBinaryDxf(content)) return ReadDxf(content);
    return ReadSectionFile(content);
}

std::string ReadSectionBytes(const std::string& path) {
    const std::string head = "Cannot open the section file " + ShownValue(path, std::string::npos) + ": ";
    auto fail = [&](int err) -> std::string { throw AppError(head + std::strerror(err)); };
    // Not blocking: a FIFO with no writer must not hold the open.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return fail(errno);
    const std::unique_ptr<int, void (*)(int*)> closer(new int(fd), [](int* f) {
        ::close(*f);
        delete f;
    });
    struct stat st {};
    if (::fstat(fd, &st) != 0) return fail(errno);
    // A FIFO or a device may never end: only a file is read.
    if (S_ISDIR(st.st_mode)) return fail(EISDIR);
    if (!S_ISREG(st.st_mode)) throw AppError(head + "It is not a file");
    auto tooLarge = [&]() -> std::string {
        throw AppError("The section file " + ShownValue(path, std::string::npos) + " is larger than 50 MB (" +
                       std::to_string(kMaxFileBytes) + " bytes)");
    };
    if (static_cast<unsigned long long>(st.st_size) > static_cast<unsigned long long>(kMaxFileBytes)) return tooLarge();
    std::string bytes;
    bytes.reserve(static_cast<size_t>(st.st_size));
    char buf[1 << 16];
    for (;;) {
        const ssize_t got = ::read(fd, buf, sizeof buf);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) throw AppError("Cannot read the section file " + ShownValue(path, std::string::npos) + ": " +
                                    std::strerror(errno));
        if (got == 0) break;
        bytes.append(buf, static_cast<size_t>(got));
        // A file that grows while it is read.
        if (static_cast<long long>(bytes.size()) > kMaxFileBytes) return tooLarge();
    }
    return bytes;
}

std::shared_ptr<const LoadedSection> LoadSection(std::string content, const std::string& name) {
    auto s = std::make_shared<LoadedSection>();
    s->Section = ReadSectionSource(content, name);
    s->Name = name;
    s->Content = std::move(content);
    s->Hash = std::hash<std::string>{}(s->Content) ^ (std::hash<std::string>{}(s->Name) * 31);
    return s;
}

std::shared_ptr<const LoadedSection> LoadSectionFile(const std::string& path) {
    return LoadSection(ReadSectionBytes(path), std::filesystem::path(path).filename().string());
}

}  // namespace px::geom
