#include "input/numbers.h"

#include <charconv>
#include <cstdlib>
#include <cmath>
#include <limits>

#include "input/error.h"

namespace px {

namespace {
char g_separator = '.';

bool isBlank(char c) { return c == ' ' || c == '\t'; }
}  // namespace

char decimalSeparator() { return g_separator; }
void setDecimalSeparator(char c) { g_separator = c; }

double StrToFloat(std::string_view text) {
    const std::string original(text);
    auto fail = [&]() -> double {
        throw ConversionError("'" + original + "' is not a valid floating point value");
    };
    size_t i = 0, n = text.size();
    while (i < n && isBlank(text[i])) ++i;
    while (n > i && isBlank(text[n - 1])) --n;
    std::string s;
    s.reserve(n - i);
    size_t p = i;
    if (p < n && (text[p] == '+' || text[p] == '-')) s += text[p++];
    size_t digits = 0;
    while (p < n && text[p] >= '0' && text[p] <= '9') { s += text[p++]; ++digits; }
    // The locale's separator, and the point the window's own default texts use.
    if (p < n && (text[p] == g_separator || text[p] == '.')) {
        s += '.';
        ++p;
        while (p < n && text[p] >= '0' && text[p] <= '9') { s += text[p++]; ++digits; }
    }
    if (digits == 0) return fail();
    if (p < n && (text[p] == 'e' || text[p] == 'E')) {
        s += 'e';
        ++p;
        if (p < n && (text[p] == '+' || text[p] == '-')) s += text[p++];
        size_t ed = 0;
        while (p < n && text[p] >= '0' && text[p] <= '9') { s += text[p++]; ++ed; }
        if (ed == 0) return fail();
    }
    if (p != n) return fail();
    if (s[0] == '+') s.erase(0, 1);
    double v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec == std::errc::result_out_of_range) {
        // Underflow reads as zero; overflow is not a value. strtod tells the
        // two apart (the text holds a '.', which the "C" numeric locale reads).
        const double r = std::strtod(s.c_str(), nullptr);
        if (std::isfinite(r) && std::fabs(r) < 1.0) return s[0] == '-' ? -0.0 : 0.0;
        return fail();
    }
    if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(v)) return fail();
    return v;
}

int StrToInt(std::string_view text) {
    const std::string original(text);
    auto fail = [&]() -> int { throw ConversionError("'" + original + "' is not a valid integer value"); };
    size_t i = 0, n = text.size();
    while (i < n && isBlank(text[i])) ++i;
    while (n > i && isBlank(text[n - 1])) --n;
    bool neg = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) neg = text[i++] == '-';
    if (i == n) return fail();
    long long v = 0;
    for (; i < n; ++i) {
        char c = text[i];
        if (c < '0' || c > '9') return fail();
        v = v * 10 + (c - '0');
        if (v > 2147483648LL) return fail();
    }
    if (neg) v = -v;
    if (v > std::numeric_limits<int>::max() || v < std::numeric_limits<int>::min()) return fail();
    return static_cast<int>(v);
}

std::string FormatFixed(double v, int decimals) {
    if (std::isnan(v)) return "NAN";
    if (std::isinf(v)) return v > 0 ? "INF" : "-INF";
    const bool negative = v < 0;
    const double a = std::fabs(v);
    // glibc prints the exact binary value; 60 extra digits are far more than
    // a double carries below its 17th significant digit near a tie.
    const int prec = (decimals < 0 ? 0 : decimals > 4 ? 4 : decimals) + 60;
    decimals = prec - 60;
    char buf[512];  // 309 integer digits + point + 64 decimals at most
    const auto res = std::to_chars(buf, buf + sizeof buf, a, std::chars_format::fixed, prec);
    std::string s(buf, res.ptr);
    const size_t dot = s.find('.');
    std::string intPart = s.substr(0, dot);
    std::string frac = s.substr(dot + 1, static_cast<size_t>(decimals));
    const char next = s[dot + 1 + static_cast<size_t>(decimals)];
    std::string digits = intPart + frac;
    if (next >= '5') {
        int k = static_cast<int>(digits.size()) - 1;
        while (k >= 0) {
            if (digits[static_cast<size_t>(k)] == '9') {
                digits[static_cast<size_t>(k)] = '0';
                --k;
            } else {
                ++digits[static_cast<size_t>(k)];
                break;
            }
        }
        if (k < 0) digits.insert(digits.begin(), '1');
    }
    const size_t ilen = digits.size() - static_cast<size_t>(decimals);
    std::string out = negative ? "-" : "";
    out += digits.substr(0, ilen);
    if (decimals > 0) {
        out += '.';
        out += digits.substr(ilen);
    }
    return out;
}

int nearest(double v) {
    if (!std::isfinite(v)) throw AppError(std::isnan(v) ? kInvalidOp : kOverflow);
    double r = std::nearbyint(v);
    if (r > std::numeric_limits<int>::max() || r < std::numeric_limits<int>::min()) throw AppError(kOverflow);
    return static_cast<int>(r);
}

std::string PadRight(int width, const std::string& text) {
    const int len = static_cast<int>(text.size());
    if (width - len > 0) return text + std::string(static_cast<size_t>(width - len), ' ');
    return text;
}

}  // namespace px
