#include "loads/text_decode.h"

#include <cstdint>
#include <cstring>

namespace px {

bool IsValidUtf8(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t n = bytes.size();
    size_t i = 0;
    while (i < n) {
        // Plain ASCII, most of a force file, eight bytes at a time.
        while (n - i >= 8) {
            uint64_t word;
            std::memcpy(&word, p + i, sizeof word);
            if (word & 0x8080808080808080ull) break;
            i += 8;
        }
        if (i == n) break;
        const unsigned c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int extra;
        uint32_t cp, min;
        if ((c & 0xE0) == 0xC0) {
            extra = 1, cp = c & 0x1F, min = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2, cp = c & 0x0F, min = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3, cp = c & 0x07, min = 0x10000;
        } else {
            return false;
        }
        if (n - i <= static_cast<size_t>(extra)) return false;
        for (int k = 1; k <= extra; ++k) {
            const unsigned b = p[i + k];
            if ((b & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (b & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += static_cast<size_t>(extra) + 1;
    }
    return true;
}

namespace {
// Code points of bytes 0x80..0x9F; the rest of the page equals Latin-1.
constexpr uint16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void appendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}
}  // namespace

std::string Windows1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        appendUtf8(out, b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : b);
    }
    return out;
}

std::string_view DecodeFileText(std::string_view bytes, std::string& storage) {
    if (IsValidUtf8(bytes)) return bytes;
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    storage = Windows1252ToUtf8(bytes);
    return storage;
}

bool HasUtf16ByteOrderMark(std::string_view bytes) {
    return bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF";
}

std::string ShownValue(std::string_view value, std::size_t maxChars) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    std::size_t chars = 0, i = 0;
    while (i < value.size()) {
        if (chars == maxChars) return out + "...";
        const auto c = static_cast<unsigned char>(value[i]);
        // A whole UTF-8 sequence is one character.
        std::size_t len = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
        if (len > 1 && (i + len > value.size() || !IsValidUtf8(value.substr(i, len)))) len = 0;
        // C1 controls (U+0080..U+009F) are controls too.
        if (len == 2 && c == 0xC2 && static_cast<unsigned char>(value[i + 1]) < 0xA0) len = 0;
        if (len == 0 || (len == 1 && (c < 0x20 || c == 0x7F))) {
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
            ++i;
        } else {
            out.append(value.substr(i, len));
            i += len;
        }
        ++chars;
    }
    return out;
}

std::string WithShownValue(const std::string& message, std::string_view value) {
    const std::size_t at = value.empty() ? std::string::npos : message.find(value);
    if (at == std::string::npos) return message;
    return message.substr(0, at) + ShownValue(value) + message.substr(at + value.size());
}

}  // namespace px
