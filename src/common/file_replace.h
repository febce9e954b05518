#pragma once
// The one way the program writes a file: files are replaced whole or not at
// all. The bytes go to a temporary file in the target's folder; every write,
// the final flush to disk and the close are checked, and only then is the
// temporary file renamed over the target. On any failure the temporary file
// is removed, an earlier file of that name keeps every byte, and an AppError
// names the file and the system's reason ("No space left on device").
//
// The temporary file has no name while it is written (Linux O_TMPFILE);
// just before the rename it is linked as ".pillarix-XXXXXXXX.tmp" in the
// target's folder, so only a SIGKILL in that moment leaves it behind. Where
// the file system cannot make unnamed files, the file has that name from
// the start and a SIGKILL leaves it; RemoveTemporaryFilesOnSignals() removes
// it when the program is stopped by SIGINT, SIGTERM or SIGHUP. The name's
// length does not depend on the target's, and a target name longer than
// its folder can hold is refused before anything is written.
//
// A target that exists and is not a regular file (a FIFO, /dev/null) cannot
// be replaced: it is written directly. A symbolic link is followed, so the
// file it points to is the one replaced; a link to nothing is refused. An
// existing file's permission bits are kept.
#include <cstddef>
#include <string>
#include <string_view>

namespace px {

// How a failure reads: the head for a file that cannot be created, and for
// one that cannot be written; the system's reason follows either.
struct WriteWording {
    std::string create;
    std::string write;
};

// "Cannot create file "<shown>". " and "Cannot write file "<shown>". ".
WriteWording FileWording(const std::string& shown);

class FileReplacement {
public:
    // Creates the temporary file; throws AppError(wording.create + reason).
    FileReplacement(const std::string& path, WriteWording wording);
    // Not committed: the temporary file is removed, the target untouched.
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Buffered; a failure (now or when the buffer goes out) throws
    // AppError(wording.write + reason).
    void write(std::string_view bytes);
    // Writes what is buffered, syncs, closes and renames over the target.
    void commit();

private:
    void flushBuffer();
    void writeOut(const char* data, std::size_t size);
    [[noreturn]] void fail(int err);
    void discard();

    std::string target_;
    std::string folder_;
    WriteWording wording_;
    std::string buffer_;
    int fd_ = -1;
    bool direct_ = false;     // a FIFO or device, written in place
    bool unnamed_ = false;    // O_TMPFILE: no name until commit
    std::string tempPath_;    // the temporary file's name, when it has one
    int signalSlot_ = -1;
};

// The whole of `bytes` as the file `path`.
void ReplaceFileWith(const std::string& path, std::string_view bytes, const WriteWording& wording);

// Installs handlers for SIGINT, SIGTERM and SIGHUP (unless ignored) that
// remove the named temporary files being written, then end the program by
// the same signal.
void RemoveTemporaryFilesOnSignals();

}  // namespace px
