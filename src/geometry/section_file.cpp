#include "geometry/section_file.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

#include "geometry/validate.h"
#include "input/error.h"
#include "loads/text_decode.h"

namespace px::geom {

namespace {

std::string LineName(long long n) { return "Line " + std::to_string(n); }

[[noreturn]] void Refuse(long long line, const std::string& problem) {
    throw AppError(LineName(line) + ": " + problem);
}

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

double ParseNumber(std::string_view tok, long long line) {
    std::string_view t = tok;
    if (!t.empty() && t.front() == '+') t.remove_prefix(1);
    double v = 0;
    const char* end = t.data() + t.size();
    const auto r = std::from_chars(t.data(), end, v);
    std::string quoted(1, '\'');
    quoted += ShownValue(tok);
    quoted += '\'';
    if (t.empty() || r.ec == std::errc::invalid_argument || r.ptr != end) Refuse(line, quoted + " is not a valid number");
    if (r.ec == std::errc::result_out_of_range || !std::isfinite(v)) Refuse(line, quoted + " is not a finite number");
    return v;
}

// The numbers after the keyword: separated by spaces, or by commas with
// spaces around them; an empty place between two commas is refused, a comma
// straight after the keyword and commas at the end of the line are not.
std::vector<double> ParseNumbers(std::string_view rest, long long line) {
    std::vector<double> out;
    size_t i = 0;
    bool comma = true;  // a comma here would start an empty place
    bool first = true;
    while (i < rest.size()) {
        const char c = rest[i];
        if (IsSpace(c)) {
            ++i;
        } else if (c == ',') {
            if (comma && !first) {
                // Only commas and spaces up to the end: padding, not a gap.
                const bool trailing = rest.find_first_not_of(" \t\r\v\f,", i) == std::string_view::npos;
                if (!trailing) Refuse(line, "a number is missing between two commas");
                return out;
            }
            comma = true;
            first = false;
            ++i;
        } else {
            size_t j = i;
            while (j < rest.size() && !IsSpace(rest[j]) && rest[j] != ',') ++j;
            out.push_back(ParseNumber(rest.substr(i, j - i), line));
            comma = false;
            first = false;
            i = j;
        }
    }
    return out;
}

std::optional<Group> GroupOf(const std::string& key) {
    if (key == "cover") return Group::Cover;
    if (key == "core1") return Group::Core1;
    if (key == "core2") return Group::Core2;
    if (key == "steel") return Group::Steel;
    return std::nullopt;
}

double Scaled(double v, double scale, long long line) {
    const double s = v * scale;
    if (!(std::fabs(s) <= kMaxCoordinate)) Refuse(line, "a length is beyond 1000000000 mm (1,000 km)");
    return s;
}

Ring RingOf(const std::vector<double>& v, double scale, long long line) {
    if (v.size() % 2 != 0) Refuse(line, "the coordinates do not come in x y pairs");
    Ring r;
    r.reserve(v.size() / 2);
    for (size_t k = 0; k + 1 < v.size(); k += 2) r.push_back({Scaled(v[k], scale, line), Scaled(v[k + 1], scale, line)});
    return Normalized(r);
}

// Refuses bytes that are not text, naming what they look like, before any
// line is read: UTF-16 (a byte order mark, or NUL in every other byte of an
// ASCII text), UTF-32, or binary (any other NUL).
void CheckIsText(std::string_view text) {
    if (text.substr(0, 4) == std::string_view("\xFF\xFE\0\0", 4) || text.substr(0, 4) == std::string_view("\0\0\xFE\xFF", 4))
        throw AppError("The section file is UTF-32 text; save it as UTF-8 (plain text)");
    const size_t nul = text.find('\0');
    const size_t head = std::min<size_t>(text.size(), 64);
    size_t oddNul = 0, evenNul = 0;
    for (size_t i = 0; i < head; ++i)
        if (text[i] == '\0') ++(i % 2 ? oddNul : evenNul);
    const bool utf16 = HasUtf16ByteOrderMark(text) ||
                       (head >= 4 && (oddNul * 2 >= head / 2 || evenNul * 2 >= head / 2) && (oddNul == 0 || evenNul == 0));
    if (utf16) throw AppError("The section file is UTF-16 text; save it as UTF-8 (plain text)");
    if (nul != std::string_view::npos)
        throw AppError("The section file is binary, not text (a NUL byte at byte " + std::to_string(nul + 1) +
                       "); save it as plain text");
}

}  // namespace

Shape ReadSectionFile(std::string_view text) {
    if (static_cast<long long>(text.size()) > kMaxFileBytes)
        throw AppError("The section file is larger than 50 MB (" + std::to_string(kMaxFileBytes) + " bytes)");
    CheckIsText(text);
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);  // a UTF-8 byte order mark
    Shape s;
    double scale = 1;
    bool anyItem = false;
    enum class Last { None, Polygon, Bar } last = Last::None;
    long long points = 0;
    long long line = 0;
    size_t pos = 0;
    while (pos <= text.size()) {
        // Lines end in LF, CR LF or CR alone.
        size_t eol = text.find_first_of("\r\n", pos);
        if (eol == std::string_view::npos) eol = text.size();
        std::string_view row = text.substr(pos, eol - pos);
        pos = eol + (text.substr(eol, 2) == "\r\n" ? 2 : 1);
        ++line;
        if (const size_t hash = row.find('#'); hash != std::string_view::npos) row = row.substr(0, hash);
        size_t k = 0;
        while (k < row.size() && IsSpace(row[k])) ++k;
        size_t e = k;
        while (e < row.size() && !IsSpace(row[e]) && row[e] != ',') ++e;
        if (k == e) {
            if (row.find_first_not_of(" \t\r\v\f") != std::string_view::npos)
                Refuse(line, "the line starts with a comma instead of an item");
            continue;
        }
        const std::string key = Lower(row.substr(k, e - k));
        const std::string_view rest = row.substr(e);

        if (key == "units") {
            if (anyItem) Refuse(line, "'units' must be the first item of the file");
            size_t a = 0;
            while (a < rest.size() && (IsSpace(rest[a]) || rest[a] == ',')) ++a;
            size_t b = rest.size();
            while (b > a && (IsSpace(rest[b - 1]) || rest[b - 1] == ',')) --b;
            const std::string unit = Lower(rest.substr(a, b - a));
            if (unit == "mm") scale = 1;
            else if (unit == "cm") scale = 10;
            else if (unit == "m") scale = 1000;
            else if (unit == "in") scale = 25.4;
            else Refuse(line, "unknown unit '" + ShownValue(rest.substr(a, b - a)) + "' (mm, cm, m or in)");
            anyItem = true;
            continue;
        }
        anyItem = true;
        const std::vector<double> v = ParseNumbers(rest, line);
        if (const auto g = GroupOf(key)) {
            points += static_cast<long long>(v.size() / 2);
            if (points > kMaxPoints) Refuse(line, "the section has more than " + std::to_string(kMaxPoints) + " points");
            Polygon p;
            p.group = *g;
            p.outer = RingOf(v, scale, line);
            p.where = LineName(line);
            s.polygons.push_back(std::move(p));
            last = Last::Polygon;
        } else if (key == "hole") {
            if (last != Last::Polygon) Refuse(line, "a hole must follow its polygon (or another hole of it)");
            points += static_cast<long long>(v.size() / 2);
            if (points > kMaxPoints) Refuse(line, "the section has more than " + std::to_string(kMaxPoints) + " points");
            s.polygons.back().holes.push_back(RingOf(v, scale, line));
            s.polygons.back().holeWhere.push_back(LineName(line));
        } else if (key == "bar") {
            if (v.size() != 3) Refuse(line, "a bar takes three numbers: x y d");
            if (++points > kMaxPoints) Refuse(line, "the section has more than " + std::to_string(kMaxPoints) + " points");
            if (!(v[2] > 0)) Refuse(line, "the bar's diameter must be greater than 0");
            s.bars.push_back({Scaled(v[0], scale, line), Scaled(v[1], scale, line), Scaled(v[2], scale, line),
                              LineName(line)});
            last = Last::Bar;
        } else {
            Refuse(line, "unknown item '" + ShownValue(row.substr(k, e - k)) +
                             "' (units, cover, core1, core2, steel, hole or bar)");
        }
    }
    ValidateShape(s);
    return s;
}

namespace {

void AppendNumber(std::string& out, double v) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v == 0 ? 0.0 : v);
    out.append(buf, r.ptr);
}

void AppendRing(std::string& out, const char* key, const Ring& r) {
    out += key;
    for (const Pt& p : r) {
        out += ' ';
        AppendNumber(out, p.x);
        out += ' ';
        AppendNumber(out, p.y);
    }
    out += '\n';
}

}  // namespace

std::string WriteSectionFile(const Shape& s, const std::string& title) {
    std::string out;
    if (!title.empty()) {
        std::string t = title;
        std::replace(t.begin(), t.end(), '\n', ' ');
        std::replace(t.begin(), t.end(), '\r', ' ');
        out += "# " + t + "\n";
    }
    out += "units mm\n";
    for (const Polygon& p : s.polygons) {
        AppendRing(out, GroupKeyword(p.group), p.outer);
        for (const Ring& h : p.holes) AppendRing(out, "hole", h);
    }
    for (const Bar& b : s.bars) {
        out += "bar ";
        AppendNumber(out, b.x);
        out += ' ';
        AppendNumber(out, b.y);
        out += ' ';
        AppendNumber(out, b.d);
        out += '\n';
    }
    return out;
}

}  // namespace px::geom
