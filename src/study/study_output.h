#pragma once
// Where a study's lines go, and the check that the output file is not one of
// the study's inputs.
#include <memory>
#include <string>
#include <string_view>

#include "common/file_replace.h"

namespace px {

// Standard output, or a file that appears only when the study has finished
// (written through a temporary file in its folder, see FileReplacement).
// On standard output every piece that ends a line goes out at once with
// what came before it, in one write of whole lines, so a study that is
// stopped never leaves half a row there.
class StudyOutput {
public:
    // path: the file, or empty for standard output. A file whose
    // temporary cannot be created throws AppError now, before any row.
    explicit StudyOutput(const std::string& path);
    ~StudyOutput();

    // Throws AppError at the first failure, which ends the study; nothing
    // more is written after it.
    void write(std::string_view text);
    // Writes what remains and puts the file in place; throws AppError for
    // the first failure of the whole run.
    void finish();

private:
    void writeStandardOutput(std::string_view text);

    std::unique_ptr<FileReplacement> file_;
    std::string pending_;  // standard output: the start of a line
    std::string error_;
};

class StudyTable;

// Refuses (AppError) an output file that is the table itself or the force
// file of one of its rows (looked up in the table's folder, as the rows
// do): the same file by device and inode, whatever the names. A file that
// does not exist yet is no input. Reads the table's rows, then restarts it.
void RefuseOutputOverInput(const std::string& out, const std::string& tablePath, StudyTable& table);

}  // namespace px
