#include "geometry/dxf_groups.h"

#include <charconv>
#include <cmath>

#include "input/error.h"

namespace px::geom {

namespace {

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

}  // namespace

DxfGroups::DxfGroups(std::string_view text) : text_(text) {
    if (text_.substr(0, 3) == "\xEF\xBB\xBF") pos_ = 3;
}

bool DxfGroups::line(std::string_view& out) {
    if (pos_ >= text_.size()) return false;
    const std::size_t end = text_.find('\n', pos_);
    const std::size_t stop = end == std::string_view::npos ? text_.size() : end;
    ++line_;
    std::string_view l = text_.substr(pos_, stop - pos_);
    if (!l.empty() && l.back() == '\r') l.remove_suffix(1);
    if (l.size() > kMaxDxfLine)
        throw AppError("Line " + std::to_string(line_) + " of the drawing is longer than " +
                       std::to_string(kMaxDxfLine) + " characters");
    pos_ = end == std::string_view::npos ? text_.size() : end + 1;
    out = Trimmed(l);
    return true;
}

bool DxfGroups::Next(DxfGroup& g) {
    if (done_) return false;
    std::string_view code;
    if (!line(code)) return false;
    // Blank lines after the last pair end the drawing as well as EOF.
    if (code.empty() && pos_ >= text_.size()) return false;
    long long n = 0;
    const auto [p, ec] = std::from_chars(code.data(), code.data() + code.size(), n);
    if (ec != std::errc() || p != code.data() + code.size() || code.empty() || n < 0 || n > 1071)
        throw AppError("Line " + std::to_string(line_) + " of the drawing: '" + ShownDxfText(code) +
                       "' is not a group code (an integer from 0 to 1071)");
    g.code = static_cast<int>(n);
    if (!line(g.value))
        throw AppError("Line " + std::to_string(line_) + " of the drawing: group code " + std::to_string(n) +
                       " has no value line");
    g.line = line_;
    if (g.code == 0 && g.value == "EOF") done_ = true;
    return true;
}

DxfValue ValueKindOf(int c) {
    if ((c >= 10 && c <= 59) || (c >= 110 && c <= 149) || (c >= 210 && c <= 239) || (c >= 460 && c <= 469) ||
        (c >= 1010 && c <= 1059))
        return DxfValue::Real;
    if ((c >= 60 && c <= 99) || (c >= 160 && c <= 179) || (c >= 270 && c <= 299) || (c >= 370 && c <= 389) ||
        (c >= 400 && c <= 409) || (c >= 420 && c <= 429) || (c >= 440 && c <= 459) || (c >= 1060 && c <= 1071))
        return DxfValue::Integer;
    return DxfValue::Text;
}

bool ParseDxfReal(std::string_view s, double& v) {
    if (!s.empty() && s.front() == '+') {
        s.remove_prefix(1);
        if (!s.empty() && s.front() == '-') return false;
    }
    if (s.empty()) return false;
    const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v, std::chars_format::general);
    return ec == std::errc() && p == s.data() + s.size() && std::isfinite(v);
}

bool ParseDxfInteger(std::string_view s, long long& v) {
    std::string_view t = s;
    if (!t.empty() && t.front() == '+') {
        t.remove_prefix(1);
        if (!t.empty() && t.front() == '-') return false;
    }
    const auto [p, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
    if (ec == std::errc() && p == t.data() + t.size() && !t.empty()) return true;
    double d = 0;
    if (!ParseDxfReal(s, d) || d != std::floor(d) || std::fabs(d) > 9e15) return false;
    v = static_cast<long long>(d);
    return true;
}

std::string ShownDxfText(std::string_view s) {
    std::string out;
    std::size_t shown = 0;
    for (unsigned char c : s) {
        if (shown == 60) {
            out += "...";
            break;
        }
        if (c < 0x20 || c == 0x7F) {
            static const char* hex = "0123456789ABCDEF";
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
        ++shown;
    }
    return out;
}

}  // namespace px::geom
