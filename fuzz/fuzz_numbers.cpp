// Fuzz target: the two text-to-number conversions and the fixed-point text.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "input/error.h"
#include "input/numbers.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

// The message quotes the whole text; what() ends at a NUL byte of the text.
bool quotesText(const px::AppError& e, std::string_view text, const char* tail) {
    const std::string full = "'" + std::string(text) + "'" + tail;
    return std::string(e.what()) == full.substr(0, full.find('\0'));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    bool isFloat = false;
    double f = 0;
    try {
        f = px::StrToFloat(text);
        isFloat = true;
        check(std::isfinite(f));
        const std::string s = px::F2(f);
        check(!s.empty());
        check(px::F0(f).size() <= s.size());
    } catch (const px::AppError& e) {
        check(quotesText(e, text, " is not a valid floating point value"));
    }

    try {
        const int i = px::StrToInt(text);
        // Every integer text is also a real text of the same value.
        check(isFloat && f == static_cast<double>(i));
    } catch (const px::AppError& e) {
        check(quotesText(e, text, " is not a valid integer value"));
    }
    return 0;
}
