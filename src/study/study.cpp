#include "study/study.h"

#include "codes/code_fields.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <filesystem>
#include <mutex>
#include <thread>

#include "analysis/mm_solver.h"
#include "analysis/pm_solver.h"
#include "member/member_input.h"
#include "check/capacity_check.h"
#include "input/error.h"
#include "input/field_defaults.h"
#include "input/fields.h"
#include "input/numbers.h"
#include "input/section_input.h"
#include "loads/csv_import.h"
#include "loads/text_decode.h"
#include "section/section_from_fields.h"
#include "section/section_info.h"
#include "section/section_warnings.h"

namespace px {

namespace {

// "Edit12" -> 12 for prefix "Edit"; 0 when the name is not the prefix and a
// number without leading zeros.
int controlNumber(std::string_view name, std::string_view prefix) {
    if (name.size() <= prefix.size() || name.size() > prefix.size() + 4 || name.substr(0, prefix.size()) != prefix)
        return 0;
    const std::string_view digits = name.substr(prefix.size());
    if (digits[0] < '1' || digits[0] > '9') return 0;
    int n = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return 0;
        n = n * 10 + (c - '0');
    }
    return n;
}


// An error about one column of the row; `column` is the name the status
// gives it.
class ColumnError : public AppError {
public:
    ColumnError(std::string column, const std::string& msg) : AppError(msg), column_(std::move(column)) {}
    const std::string& column() const { return column_; }

private:
    std::string column_;
};

// The row's fields as the window would hold them: the row's cells for the
// columns of the header, the starting texts for the rest.
class RowFields final : public FieldSource {
public:
    RowFields(const StudyColumns& cols, const std::vector<std::string_view>& cells) : cells_(cells) {
        for (size_t k = static_cast<size_t>(cols.Count); k < cells.size(); ++k)
            if (!cells[k].empty())
                throw AppError("Field " + std::to_string(k + 1) + " of the row has no column in the header (" +
                               std::to_string(cols.Count) + " columns)");
        // Item indexes are checked before anything is read, like a combo box
        // that can only hold one of its items.
        for (int n = 1; n <= kComboBoxCount; ++n) {
            const int col = cols.ComboColumn[static_cast<size_t>(n)];
            if (col < 0) continue;
            const std::string name = "ComboBox" + std::to_string(n);
            const std::vector<std::string>& items = ComboBoxItems(name);
            const std::string_view cell = this->cell(col);
            // A row with a section file may leave its section type empty:
            // it is a Custom Section.
            if (n == 1 && cell.empty() && !this->cell(cols.SectionFile).empty()) continue;
            const bool digits = !cell.empty() && cell.size() <= 9 &&
                                std::all_of(cell.begin(), cell.end(), [](char c) { return c >= '0' && c <= '9'; });
            // "Design Code" takes the code's name as well as its index.
            if (n == 9) {
                const auto named = std::find(items.begin(), items.end(), std::string(cell));
                if (named != items.end()) {
                    items_[9] = static_cast<int>(named - items.begin());
                    continue;
                }
            }
            const std::string range = " (0.." + std::to_string(items.size() - 1) + ")";
            if (!digits || std::stoi(std::string(cell)) >= static_cast<int>(items.size()))
                throw ColumnError(name, "'" + ShownValue(cell) + "' is not an item index" + range);
            const int index = std::stoi(std::string(cell));
            items_[static_cast<size_t>(n)] = index;
        }
        // Every edit's text once: the material reads ask for them per fiber.
        const std::array<std::string, kEditCount + 1>& defaults = defaultTexts();
        for (int n = 1; n <= kEditCount; ++n) {
            const int col = cols.EditColumn[static_cast<size_t>(n)];
            texts_[static_cast<size_t>(n)] = col >= 0 ? std::string(cell(col)) : defaults[static_cast<size_t>(n)];
        }
    }

    std::string text(const std::string& name) const override {
        last_ = name;
        const int n = controlNumber(name, "Edit");
        return n >= 1 && n <= kEditCount ? texts_[static_cast<size_t>(n)] : std::string();
    }

    int itemIndex(const std::string& name) const override {
        const int n = controlNumber(name, "ComboBox");
        return n >= 1 && n <= kComboBoxCount ? items_[static_cast<size_t>(n)] : 0;
    }

    std::shared_ptr<const geom::LoadedSection> customSection() const override { return custom_; }

    // The row's section file: the row becomes a "Custom Section" unless its
    // ComboBox1 names another type.
    void setCustomSection(const StudyColumns& cols, std::shared_ptr<const geom::LoadedSection> s) {
        if (cols.ComboColumn[1] >= 0 && !cell(cols.ComboColumn[1]).empty() && items_[1] != 8)
            throw ColumnError("ComboBox1", "a row with a Section File is a Custom Section (ComboBox1 = 8), not item " +
                                               std::to_string(items_[1]));
        items_[1] = 8;
        custom_ = std::move(s);
    }

    // The field read last: the one whose text a conversion just refused.
    const std::string& lastRead() const { return last_; }

private:
    static const std::array<std::string, kEditCount + 1>& defaultTexts() {
        static const std::array<std::string, kEditCount + 1> texts = [] {
            std::array<std::string, kEditCount + 1> t;
            for (const auto& [name, text] : DefaultFieldTexts()) {
                const int n = controlNumber(name, "Edit");
                if (n >= 1 && n <= kEditCount) t[static_cast<size_t>(n)] = text;
            }
            return t;
        }();
        return texts;
    }

    std::string_view cell(int col) const {
        return col >= 0 && static_cast<size_t>(col) < cells_.size() ? cells_[static_cast<size_t>(col)] : std::string_view();
    }

    const std::vector<std::string_view>& cells_;
    std::array<int, kComboBoxCount + 1> items_{};
    std::array<std::string, kEditCount + 1> texts_;
    std::shared_ptr<const geom::LoadedSection> custom_;
    mutable std::string last_;
};

// Largest moment of one direction's curve, points 0 .. Divisions: the data
// extreme the P-M chart scales its moment axis to.
double largestMoment(const std::vector<double>& M, int divisions) {
    double m = M[0];
    for (int i = 1; i <= divisions; ++i) m = std::max(m, M[static_cast<size_t>(i)]);
    return m;
}

std::string momentAtZeroText(const std::vector<double>& P, const std::vector<double>& M, int divisions) {
    const std::optional<double> m = MomentAtZeroAxialForce(P, M, divisions);
    return m ? F2(*m) : std::string();
}

std::string studyLine(const std::vector<std::string>& cells) {
    std::string s;
    for (size_t k = 0; k < cells.size(); ++k) {
        if (k) s += ',';
        s += CsvCell(cells[k]);
    }
    return s;
}

}  // namespace

std::optional<double> MomentAtZeroAxialForce(const std::vector<double>& P, const std::vector<double>& M,
                                             int divisions) {
    const int last = std::min({divisions, static_cast<int>(P.size()) - 1, static_cast<int>(M.size()) - 1});
    for (int i = 0; i <= last; ++i) {
        const size_t k = static_cast<size_t>(i);
        if (P[k] == 0) return M[k];
        if (i < last && P[k] < 0 && P[k + 1] > 0)
            return M[k] + (M[k + 1] - M[k]) * (0 - P[k]) / (P[k + 1] - P[k]);
    }
    return std::nullopt;
}

std::string CsvCell(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string s = "\"";
    for (char c : text) {
        if (c == '"') s += '"';
        s += c;
    }
    s += '"';
    return s;
}

std::vector<std::string_view> SplitStudyLine(std::string_view line) {
    std::vector<std::string_view> cells;
    size_t start = 0;
    while (true) {
        const size_t comma = line.find(',', start);
        std::string_view piece = line.substr(start, comma == std::string_view::npos ? line.npos : comma - start);
        // Blanks only: a NUL or another control byte is part of the cell.
        auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; };
        while (!piece.empty() && blank(piece.front())) piece.remove_prefix(1);
        while (!piece.empty() && blank(piece.back())) piece.remove_suffix(1);
        cells.push_back(piece);
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    return cells;
}

StudyColumns ReadStudyHeader(std::string_view header) {
    StudyColumns c;
    const std::vector<std::string_view> names = SplitStudyLine(header);
    c.Count = static_cast<int>(names.size());
    std::map<std::string, int> seen;
    for (int k = 0; k < c.Count; ++k) {
        const std::string name(names[static_cast<size_t>(k)]);
        if (name.empty()) continue;
        const std::string where = " (column " + std::to_string(k + 1) + " of the header)";
        if (!seen.emplace(name, k).second) throw AppError("Column \"" + ShownValue(name) + "\" appears twice" + where);
        const int edit = controlNumber(name, "Edit");
        const int combo = controlNumber(name, "ComboBox");
        if (name == "Name") c.Name = k;
        else if (name == "Design Code") c.ComboColumn[9] = c.Fields["ComboBox9"] = k;
        else if (name == "Forces") c.Forces = k;
        else if (name == "Section File") c.SectionFile = k;
        else if (edit >= 1 && edit <= kEditCount && !DefaultFieldTexts().count(name))
            throw AppError("Unknown column \"" + name + "\"" + where + ": the window has no field " + name);
        else if (edit >= 1 && edit <= kEditCount) c.EditColumn[static_cast<size_t>(edit)] = c.Fields[name] = k;
        else if (combo >= 1 && combo <= kComboBoxCount && ComboBoxItems(name).empty())
            throw AppError("Unknown column \"" + name + "\"" + where + ": the window has no combo box " + name);
        else if (combo >= 1 && combo <= kComboBoxCount) c.ComboColumn[static_cast<size_t>(combo)] = c.Fields[name] = k;
        else
            throw AppError("Unknown column \"" + ShownValue(name) + "\"" + where +
                           ": columns are Name, Forces, Section File, Edit1 .. Edit" + std::to_string(kEditCount) +
                           " and ComboBox1 .. ComboBox" + std::to_string(kComboBoxCount) + ", with \"Design Code\" for ComboBox9");
    }
    if (c.Name < 0) throw AppError("The header has no \"Name\" column");
    return c;
}

std::string StudyInputPath(const std::string& folder, std::string_view cell,
                           const std::vector<std::string>& allowedFolders) {
    namespace fs = std::filesystem;
    if (cell.find('\0') != std::string_view::npos)
        throw AppError("A file name may not hold a NUL byte: '" + ShownValue(cell) + "'");
    const fs::path path = fs::path(folder) / fs::path(std::string(cell));
    // Where the name leads once ".." and links are resolved. A name the
    // system cannot even look at (too long, a folder without permission)
    // cannot be opened either: its reader says why.
    std::error_code ec;
    const fs::path real = fs::weakly_canonical(path, ec);
    if (ec) return path.string();
    auto inside = [&real](const std::string& dir) {
        std::error_code e;
        const fs::path root = fs::weakly_canonical(fs::path(dir), e);
        if (e || root.empty()) return false;
        // Component by component: "/data2" is not inside "/data".
        auto r = root.begin(), p = real.begin();
        for (; r != root.end(); ++r, ++p) {
            if (r->empty() && std::next(r) == root.end()) break;  // a trailing "/"
            if (p == real.end() || *r != *p) return false;
        }
        return true;
    };
    if (inside(folder)) return path.string();
    for (const std::string& dir : allowedFolders)
        if (inside(dir)) return path.string();
    throw AppError("The file lies outside the table's folder \"" + ShownValue(folder) +
                   "\"; pillarix-study --allow-folder DIR lets the rows read files in DIR");
}

StudyRowResult RunStudyRow(const StudyColumns& cols, std::string_view row, long long line, const std::string& folder,
                           const SolveOptions& options, const std::vector<std::string>& allowedFolders) {
    const std::vector<std::string_view> cells = SplitStudyLine(row);
    const std::string name(static_cast<size_t>(cols.Name) < cells.size() ? cells[static_cast<size_t>(cols.Name)]
                                                                           : std::string_view());
    std::vector<std::string> out(kStudyOutputColumns);
    out[0] = name;
    StudyRowResult r;
    std::optional<RowFields> fields;
    // "line N" or "line N, column" before a failed row's message.
    // Every byte of the message that is not text is shown escaped.
    auto failed = [&](const std::string& column, const std::string& message) {
        std::fill(out.begin() + 1, out.end(), std::string());
        std::string where = "line " + std::to_string(line);
        if (!column.empty()) where += ", " + column;
        // A message may quote a file's text: never more than a few lines' worth.
        out.back() = where + ": " + displayMessage(ShownValue(message, kStudyMessageChars));
    };
    try {
        if (name.empty()) throw AppError("The row has no Name");
        fields.emplace(cols, cells);
        const std::string_view sectionFile = cols.SectionFile >= 0 && static_cast<size_t>(cols.SectionFile) < cells.size()
                                                 ? cells[static_cast<size_t>(cols.SectionFile)]
                                                 : std::string_view();
        if (!sectionFile.empty()) {
            std::shared_ptr<const geom::LoadedSection> loaded;
            try {
                const std::string path = StudyInputPath(folder, sectionFile, allowedFolders);
                // The section readers keep no state between calls, so rows
                // on several threads read their drawings side by side.
                loaded = geom::LoadSectionFile(path);
            } catch (const AppError& e) {
                throw ColumnError("Section File \"" + ShownValue(sectionFile) + "\"",
                                  WithShownValue(e.message(), sectionFile));
            }
            fields->setCustomSection(cols, std::move(loaded));
        }

        // "Input Section": the fields, the mesh, the section information.
        SectionInput in;
        FiberTable t;
        MeshSectionFromFields(*fields, in, t);
        const SectionInfoTexts info = FormatSectionInfo(ComputeSectionInfo(in, t));
        out[20] = SectionWarningsText(in, t);

        // The "Member" group is refused as the window refuses it.
        const std::string_view forcesCell =
            cols.Forces >= 0 && static_cast<size_t>(cols.Forces) < cells.size() ? cells[static_cast<size_t>(cols.Forces)]
                                                                                  : std::string_view();
        ReadMemberInput(*fields, !forcesCell.empty());

        // "Show PM Curve": both directions with the P-M page's settings.
        CheckFiberMaterials(t);
        const PmSettings pm = ReadPmSettings(*fields);
        CheckPmSettings(pm);
        // Under a design code ("Design Code", ComboBox9) the curve's columns
        // are the design curve's; the check stays on the fields' laws.
        const codes::CodeSection code = codes::SectionCodeOf(*fields, in, t);
        FiberTable coded;
        FiberTable& solved = codes::SolverTable(t, code, coded);
        double PMax = 0, PMin = 0;
        ComputeAxialBounds(solved, PMax, PMin);
        PMCurve curve;
        SolvePM(solved, in.B, in.H, pm, 0, PMin, PMax, curve, {}, options);
        SolvePM(solved, in.B, in.H, pm, 90, PMin, PMax, curve, {}, options);
        if (code.rules != codes::CodeRules::None) {
            const codes::DesignCurve d = codes::MakeDesignCurve(curve, code);
            for (size_t i = 0; i < d.X.size() && i < curve.PX.size(); ++i) {
                curve.PX[i] = d.X[i].P;
                curve.MX[i] = d.X[i].M;
                curve.PY[i] = d.Y[i].P;
                curve.MY[i] = d.Y[i].M;
            }
        }
        const double shownPMax = curve.PX.empty() ? PMax : curve.PX.back();
        const double shownPMin = curve.PX.empty() ? PMin : curve.PX.front();

        out[1] = ComboBoxItems("ComboBox1")[static_cast<size_t>(in.SectionType - 1)];
        out[2] = std::to_string(t.NFib);
        out[3] = info.Edit36;
        out[4] = info.Edit39;
        out[5] = info.Edit40;
        out[6] = F2(shownPMax);
        out[7] = F2(shownPMin);
        out[8] = momentAtZeroText(curve.PX, curve.MX, curve.Divisions);
        out[9] = momentAtZeroText(curve.PY, curve.MY, curve.Divisions);
        out[10] = F2(largestMoment(curve.MX, curve.Divisions));
        out[11] = F2(largestMoment(curve.MY, curve.Divisions));

        const std::string_view forces =
            cols.Forces >= 0 && static_cast<size_t>(cols.Forces) < cells.size() ? cells[static_cast<size_t>(cols.Forces)]
                                                                                  : std::string_view();
        if (!forces.empty()) {
            // "Import Force Data" with the row's import settings, then the
            // capacity check with its Mx-My settings.
            double fP = 1, fMx = 1, fMy = 1;
            ForceColumns columns;
            ReadImportSettings(*fields, fP, fMx, fMy, columns);
            ForceImport imported;
            try {
                const std::string path = StudyInputPath(folder, forces, allowedFolders);
                imported = ImportForcesFromFile(path, columns);
                if (imported.Table.Count < 1) throw AppError("No forces have been imported from \"" + path + "\".");
            } catch (const AppError& e) {
                // The file as the row names it.
                throw ColumnError("Forces \"" + ShownValue(forces) + "\"", WithShownValue(e.message(), forces));
            }
            const MmSettings mm = ReadMmSettings(*fields);
            CheckMmSettings(mm);
            const CheckRequest req{{&t, in.B, in.H, mm, PMax, PMin}, &imported.Table, fP, fMx, fMy};
            const CheckResult check = RunCapacityCheck(req, {}, options);
            out[12] = std::to_string(check.Rows.size());
            out[13] = std::to_string(check.Passed);
            out[14] = static_cast<size_t>(check.Passed) == check.Rows.size() ? "OK" : "NG";
            if (check.Governing >= 0) {
                // The governing case's amplified forces and ratio as the
                // check table shows them.
                const CheckRow& g = check.Rows[static_cast<size_t>(check.Governing)];
                out[15] = std::to_string(g.Case);
                out[16] = CheckCellText(g, 1);
                out[17] = CheckCellText(g, 2);
                out[18] = CheckCellText(g, 3);
                out[19] = CheckCellText(g, 5);
            }
        }
        out.back() = "ok";
        r.Ok = true;
    } catch (const ColumnError& e) {
        failed(e.column(), e.message());
    } catch (const FieldError& e) {
        failed(e.field(), e.message());
    } catch (const ConversionError& e) {
        // A conversion names the field it refused (else it is the field read
        // just before it) and quotes its text: shown escaped, a long one cut.
        const std::string field = !e.field().empty() ? e.field() : fields ? fields->lastRead() : std::string();
        const std::string label = e.label().empty() ? std::string() : e.label() + ": ";
        const std::string message = fields ? label + WithShownValue(e.bare(), fields->text(field)) : e.message();
        failed(cols.Fields.count(field) ? field : std::string(), message);
    } catch (const AppError& e) {
        failed({}, e.message());
    } catch (const std::exception& e) {
        failed({}, e.what());
    } catch (...) {
        failed({}, "Unexpected error");
    }
    r.Line = studyLine(out);
    return r;
}

// ---------------------------------------------------------------- table file

// Lines of a file read in blocks: a line ends at CR LF, LF or CR; a last line
// without an ending counts, an ending at the very end adds no empty line.
struct StudyTable::Lines {
    std::FILE* file = nullptr;
    std::string shown;  // the table's name in messages
    std::vector<char> buf = std::vector<char>(1 << 16);
    size_t pos = 0, len = 0;
    unsigned long long bytes = 0;  // read since the last rewind

    long long count = 0;  // lines read since the last rewind

    ~Lines() {
        if (file) std::fclose(file);
    }
    bool fill() {
        pos = 0;
        len = std::fread(buf.data(), 1, buf.size(), file);
        bytes += len;
        // A file that grows while it is read.
        if (bytes > kStudyTableMaxBytes)
            throw AppError("Cannot read file \"" + shown + "\". It holds more than " +
                           std::to_string(kStudyTableMaxBytes >> 30) + " GB; a table holds at most " +
                           std::to_string(kStudyTableMaxBytes >> 30) + " GB");
        return len > 0;
    }
    void rewind() {
        std::rewind(file);
        pos = len = 0;
        bytes = 0;
        count = 0;
    }
    bool next(std::string& line) {
        if (!nextLine(line)) return false;
        ++count;
        return true;
    }
    bool nextLine(std::string& line) {
        line.clear();
        bool any = false;
        while (true) {
            if (pos == len && !fill()) return any;
            any = true;
            const char* begin = buf.data() + pos;
            const size_t n = len - pos;
            const void* cr = std::memchr(begin, '\r', n);
            const void* lf = std::memchr(begin, '\n', n);
            const char* end = begin + n;
            if (cr && static_cast<const char*>(cr) < end) end = static_cast<const char*>(cr);
            if (lf && static_cast<const char*>(lf) < end) end = static_cast<const char*>(lf);
            line.append(begin, static_cast<size_t>(end - begin));
            pos += static_cast<size_t>(end - begin);
            if (pos == len) continue;  // no ending in this block
            const char c = buf[pos++];
            if (c == '\r') {
                if (pos == len) fill();
                if (pos < len && buf[pos] == '\n') ++pos;
            }
            return true;
        }
    }
};

namespace {

// A line with nothing but commas and blanks is not a row. The test holds
// for the raw bytes and the decoded text alike.
bool isBlankLine(std::string_view line) {
    return std::all_of(line.begin(), line.end(),
                       [](char c) { return c == ',' || static_cast<unsigned char>(c) <= 32; });
}

void skipByteOrderMark(std::string& line) {
    if (line.size() >= 3 && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);
}

// The table's bytes as a stream that can be read twice: a file itself; a
// pipe or FIFO (a table from another program) copied to an unnamed
// temporary file as it is read. Anything else, or too large a file, is
// refused before it is read.
std::FILE* openTable(const std::string& path, const std::string& shown, bool& pipe) {
    pipe = false;
    const std::string head = "Cannot open file \"" + shown + "\". ";
    auto fail = [&](int err) -> std::FILE* { throw AppError(head + std::strerror(err)); };
    // Not blocking, to look at what it is first.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return fail(errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int err = errno;
        ::close(fd);
        return fail(err);
    }
    if (S_ISREG(st.st_mode)) {
        if (static_cast<unsigned long long>(st.st_size) > kStudyTableMaxBytes) {
            ::close(fd);
            throw AppError(head + "The file is " + std::to_string(st.st_size) + " bytes; a table holds at most " +
                           std::to_string(kStudyTableMaxBytes >> 30) + " GB");
        }
        std::FILE* f = ::fdopen(fd, "rb");
        if (!f) {
            const int err = errno;
            ::close(fd);
            return fail(err);
        }
        return f;
    }
    ::close(fd);
    if (S_ISDIR(st.st_mode)) return fail(EISDIR);
    if (!S_ISFIFO(st.st_mode)) throw AppError(head + "It is not a file");
    pipe = true;
    // A pipe or FIFO: opened again to block, waiting for a FIFO's writer as
    // any reader of it would.
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return fail(errno);
    std::FILE* copy = std::tmpfile();
    if (!copy) {
        const int err = errno;
        ::close(fd);
        throw AppError("Cannot read file \"" + shown + "\". No temporary file for a copy: " + std::strerror(err));
    }
    std::vector<char> buf(1 << 16);
    unsigned long long total = 0;
    int err = 0;
    while (true) {
        const ssize_t n = ::read(fd, buf.data(), buf.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) err = errno;
        if (n <= 0) break;
        total += static_cast<unsigned long long>(n);
        if (total > kStudyTableMaxBytes) break;
        if (std::fwrite(buf.data(), 1, static_cast<size_t>(n), copy) != static_cast<size_t>(n)) {
            err = errno ? errno : EIO;
            break;
        }
    }
    ::close(fd);
    if (err == 0 && std::fflush(copy) != 0) err = errno ? errno : EIO;
    if (err != 0 || total > kStudyTableMaxBytes) {
        std::fclose(copy);
        if (err != 0) throw AppError("Cannot read file \"" + shown + "\". " + std::strerror(err));
        throw AppError("Cannot read file \"" + shown + "\". It holds more than " +
                       std::to_string(kStudyTableMaxBytes >> 30) + " GB; a table holds at most " +
                       std::to_string(kStudyTableMaxBytes >> 30) + " GB");
    }
    std::rewind(copy);
    return copy;
}

}  // namespace

StudyTable::StudyTable(const std::string& path) : lines_(std::make_unique<Lines>()) {
    const std::string shown = ShownValue(path, std::string::npos);
    lines_->shown = shown;
    bool pipe = false;
    lines_->file = openTable(path, shown, pipe);
    // A table from a pipe ("/dev/stdin") has no folder of its own: its rows'
    // files are found from the working folder.
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    folder_ = (parent.empty() || pipe ? std::filesystem::path(".") : parent).string();

    // First pass: the encoding of the whole file and the number of rows.
    // Line endings are single bytes that never occur inside a UTF-8
    // sequence, so the file is valid UTF-8 exactly when every line is.
    std::string line;
    bool header = false;
    while (lines_->next(line)) {
        if (!header && HasUtf16ByteOrderMark(line))
            throw AppError("The table \"" + shown + "\" is UTF-16 text: save it as UTF-8 or Windows-1252");
        utf8_ = utf8_ && IsValidUtf8(line);
        if (!header) header = true;
        else if (!isBlankLine(line)) ++rows_;
    }
    if (std::ferror(lines_->file))
        throw AppError("Cannot read file \"" + shown + "\". " + std::strerror(errno ? errno : EIO));
    if (!header) throw AppError("The table \"" + shown + "\" is empty: it needs a header line");

    Restart();
}

StudyTable::~StudyTable() = default;

void StudyTable::Restart() {
    lines_->rewind();
    std::string line;
    lines_->next(line);
    skipByteOrderMark(line);
    columns_ = ReadStudyHeader(decode(line));
}

std::string StudyTable::decode(const std::string& line) const {
    // What DecodeFileText does to the whole file, one line at a time:
    // Windows-1252 maps byte by byte.
    return utf8_ ? line : Windows1252ToUtf8(line);
}

long long StudyTable::LineNumber() const { return lines_->count; }

bool StudyTable::NextRow(std::string& row) {
    while (lines_->next(row)) {
        if (isBlankLine(row)) continue;
        row = decode(row);
        return true;
    }
    return false;
}

// ---------------------------------------------------------------- running

void ShardRange(long long rows, long long index, long long count, long long& first, long long& end) {
    // i x rows needs more than 64 bits when both are large.
    auto part = [&](long long i) {
        const __int128 p = static_cast<__int128>(i) * rows / count;
        return static_cast<long long>(p);
    };
    first = part(index);
    end = part(index + 1);
}

StudySummary RunStudy(StudyTable& table, const StudyOptions& options,
                      const std::function<void(std::string_view)>& write) {
    long long first = 0, end = 0;
    ShardRange(table.RowCount(), options.ShardIndex, options.ShardCount, first, end);
    StudySummary summary;
    summary.Rows = end - first;

    std::string row;
    for (long long k = 0; k < first && table.NextRow(row); ++k) {
    }
    if (options.ShardIndex == 0) {
        write(kStudyHeader);
        write(kStudyEol);
    }

    SolveOptions solve;
    solve.threads = options.SolveThreads;
    const StudyColumns& cols = table.Columns();
    const std::string& folder = table.Folder();
    const std::vector<std::string>& allowed = options.AllowedFolders;
    const int threads =
        static_cast<int>(std::max<long long>(1, std::min<long long>(options.Threads, summary.Rows)));

    if (threads == 1) {
        for (long long k = 0; k < summary.Rows && table.NextRow(row); ++k) {
            StudyRowResult r = RunStudyRow(cols, row, table.LineNumber(), folder, solve, allowed);
            if (!r.Ok) ++summary.Failed;
            r.Line += kStudyEol;
            write(r.Line);
        }
        return summary;
    }

    // A ring of rows in flight: the calling thread reads rows into free
    // slots and writes finished slots in order; the workers take rows in
    // order. At most `window` rows are held at once.
    struct Slot {
        std::string text;
        long long line = 0;
        StudyRowResult result;
        bool done = false;
    };
    const long long window = 8LL * threads;
    std::vector<Slot> slots(static_cast<size_t>(window));
    std::mutex m;
    std::condition_variable cv;
    long long read = 0, taken = 0, written = 0;
    bool endOfRows = false, stop = false;
    std::exception_ptr failure;

    auto worker = [&] {
        std::unique_lock<std::mutex> lock(m);
        while (true) {
            cv.wait(lock, [&] { return taken < read || endOfRows || stop; });
            if (taken == read || stop) return;
            Slot& s = slots[static_cast<size_t>(taken % window)];
            ++taken;
            lock.unlock();
            StudyRowResult r = RunStudyRow(cols, s.text, s.line, folder, solve, allowed);
            lock.lock();
            s.result = std::move(r);
            s.done = true;
            cv.notify_all();
        }
    };
    std::vector<std::thread> pool;
    pool.reserve(static_cast<size_t>(threads));
    for (int i = 0; i < threads; ++i) pool.emplace_back(worker);

    std::unique_lock<std::mutex> lock(m);
    while (true) {
        Slot& next = slots[static_cast<size_t>(written % window)];
        if (written < read && next.done) {
            StudyRowResult r = std::move(next.result);
            next.done = false;
            next.text.clear();
            ++written;
            lock.unlock();
            if (!r.Ok) ++summary.Failed;
            r.Line += kStudyEol;
            try {
                write(r.Line);
            } catch (...) {
                // Output that cannot be written ends the study: the workers
                // finish the rows they hold and take no more.
                failure = std::current_exception();
                lock.lock();
                stop = true;
                cv.notify_all();
                break;
            }
            lock.lock();
            continue;
        }
        if (!endOfRows && read - written < window) {
            lock.unlock();
            const bool more = read < summary.Rows && table.NextRow(row);
            lock.lock();
            if (more) {
                Slot& s = slots[static_cast<size_t>(read % window)];
                s.text.swap(row);
                s.line = table.LineNumber();
                ++read;
            } else {
                endOfRows = true;
            }
            cv.notify_all();
            continue;
        }
        if (endOfRows && written == read) break;
        cv.wait(lock);
    }
    lock.unlock();
    for (std::thread& t : pool) t.join();
    if (failure) std::rethrow_exception(failure);
    return summary;
}

}  // namespace px
