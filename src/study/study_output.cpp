#include "study/study_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <set>
#include <vector>

#include "input/error.h"
#include "loads/text_decode.h"
#include "study/study.h"

namespace px {

StudyOutput::StudyOutput(const std::string& path) {
    if (path.empty()) return;
    WriteWording wording = FileWording(path);
    wording.create = "Cannot open file \"" + path + "\". ";  // as the study has always said
    file_ = std::make_unique<FileReplacement>(path, wording);
}

StudyOutput::~StudyOutput() = default;

void StudyOutput::writeStandardOutput(std::string_view text) {
    const char* data = text.data();
    size_t size = text.size();
    // Where these whole lines start, when standard output is a file: a
    // write that fails part way (a full disk, a file-size limit) is taken
    // back to there, so the output ends at a whole row.
    off_t start = -1;
    struct stat st {};
    if (::fstat(STDOUT_FILENO, &st) == 0 && S_ISREG(st.st_mode)) {
        const int flags = ::fcntl(STDOUT_FILENO, F_GETFL);
        start = flags >= 0 && (flags & O_APPEND) ? st.st_size : ::lseek(STDOUT_FILENO, 0, SEEK_CUR);
    }
    while (size > 0) {
        const ssize_t n = ::write(STDOUT_FILENO, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const int err = n < 0 ? errno : EIO;
            error_ = std::string("Cannot write to standard output. ") + std::strerror(err);
            if (start >= 0 && size < text.size() && ::ftruncate(STDOUT_FILENO, start) == 0)
                ::lseek(STDOUT_FILENO, start, SEEK_SET);
            return;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
}

void StudyOutput::write(std::string_view text) {
    if (!error_.empty()) throw AppError(error_);
    if (file_) {
        try {
            file_->write(text);
        } catch (const AppError& e) {
            error_ = e.message();
            throw;
        }
        return;
    }
    if (text.empty() || text.back() != '\n') {
        pending_.append(text);
        return;
    }
    if (pending_.empty()) {
        writeStandardOutput(text);
        if (!error_.empty()) throw AppError(error_);
        return;
    }
    pending_.append(text);
    writeStandardOutput(pending_);
    pending_.clear();
    if (!error_.empty()) throw AppError(error_);
}

void StudyOutput::finish() {
    if (error_.empty() && !pending_.empty()) writeStandardOutput(pending_);
    pending_.clear();
    if (error_.empty() && file_) {
        try {
            file_->commit();
        } catch (const std::exception& e) {
            error_ = e.what();
        }
    }
    file_.reset();  // a failed file's temporary goes now
    if (!error_.empty()) throw AppError(error_);
}

void RefuseOutputOverInput(const std::string& out, const std::string& tablePath, StudyTable& t) {
    struct stat o {};
    if (::stat(out.c_str(), &o) != 0) return;
    auto same = [&](const std::string& path) {
        struct stat s {};
        return ::stat(path.c_str(), &s) == 0 && s.st_dev == o.st_dev && s.st_ino == o.st_ino;
    };
    const std::string head = "--out \"" + out + "\" is ";
    if (same(tablePath)) throw AppError(head + "the table being read; give another output file");

    const StudyColumns& cols = t.Columns();
    if (cols.Forces < 0 && cols.SectionFile < 0) return;
    const std::pair<int, const char*> inputs[] = {{cols.Forces, "force file"}, {cols.SectionFile, "section file"}};
    std::set<std::string> seen;
    std::string row;
    while (t.NextRow(row)) {
        const std::vector<std::string_view> cells = SplitStudyLine(row);
        for (const auto& [col, what] : inputs) {
            if (col < 0 || static_cast<size_t>(col) >= cells.size()) continue;
            const std::string file(cells[static_cast<size_t>(col)]);
            if (file.empty() || !seen.insert(file).second) continue;
            // Where the row looks for it.
            const std::string path = (std::filesystem::path(t.Folder()) / std::filesystem::path(file)).string();
            if (same(path)) {
                const std::string name(static_cast<size_t>(cols.Name) < cells.size()
                                           ? cells[static_cast<size_t>(cols.Name)]
                                           : std::string_view());
                throw AppError(head + "the " + what + " \"" + ShownValue(file) + "\" of column \"" +
                               ShownValue(name) + "\"; give another output file");
            }
        }
    }
    t.Restart();
}

}  // namespace px
