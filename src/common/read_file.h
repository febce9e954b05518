#pragma once
// Reading a whole file that someone else wrote: only a regular file, of
// bounded size, opened without blocking so that a FIFO or a device never
// holds the program.
#include <functional>
#include <string>

namespace px {

// Why a file was not read.
struct FileReadFault {
    enum Kind {
        Open,      // open or fstat failed (err), or a folder (EISDIR)
        NotAFile,  // a FIFO, a device or a socket
        TooLarge,  // its size (size) is over the limit
        Grew,      // it grew past the limit while it was read
        Read,      // read failed (err)
    } kind = Open;
    int err = 0;
    unsigned long long size = 0;
};

// The bytes of the regular file at `path`, at most maxBytes. On a fault,
// calls `refuse`, which throws the caller's message.
std::string ReadRegularFile(const std::string& path, unsigned long long maxBytes,
                            const std::function<void(const FileReadFault&)>& refuse);

}  // namespace px
