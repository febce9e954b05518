#pragma once
// The first, strict pass over an ASCII DXF drawing: its lines taken two by
// two as group code and value. Nothing here allocates by a count the drawing
// declares; every line is bounded before it is looked at.
#include <string>
#include <string_view>

namespace px::geom {

// The longest line a drawing may hold, in bytes (the longest text a CAD
// program writes in one group is 2,049 characters).
inline constexpr std::size_t kMaxDxfLine = 4096;

struct DxfGroup {
    int code = 0;
    std::string_view value;  // trimmed of blanks at both ends
    long long line = 0;      // 1-based line of the value
};

// Reads group after group; stops after the pair "0 EOF" (what follows it is
// not read) or at the end of the text. A UTF-8 byte-order mark is skipped;
// lines end in LF or CR LF.
class DxfGroups {
public:
    explicit DxfGroups(std::string_view text);
    // The next pair; false at the end. Refuses (AppError, naming the line) a
    // line longer than kMaxDxfLine, a group code that is not an integer from
    // 0 to 1071, and a code without its value line.
    bool Next(DxfGroup& g);

private:
    bool line(std::string_view& out);
    std::string_view text_;
    std::size_t pos_ = 0;
    long long line_ = 0;
    bool done_ = false;
};

enum class DxfValue { Text, Real, Integer };
// What a group code's value is.
DxfValue ValueKindOf(int code);

// A decimal number as a whole value ("1.5", "-2e3", "+4"); refuses text,
// "nan", "inf", hexadecimal and trailing characters.
bool ParseDxfReal(std::string_view s, double& v);
// An integer ("12", "-3"); a real written with no fraction ("1.0") is taken.
bool ParseDxfInteger(std::string_view s, long long& v);

// The value as the user may read it in a message: at most 60 characters,
// bytes that are not printable shown as \xNN.
std::string ShownDxfText(std::string_view s);

}  // namespace px::geom
