#include "project/json.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <stdexcept>

namespace px {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

void appendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// How a byte is named in a message.
std::string describeByte(char c) {
    const auto u = static_cast<unsigned char>(c);
    if (u > 32 && u < 127) return std::string("'") + c + "'";
    static const char hex[] = "0123456789ABCDEF";
    return std::string("byte 0x") + hex[u >> 4] + hex[u & 15];
}

}  // namespace

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

JsonError::JsonError(std::size_t at, const std::string& what)
    : AppError("at byte offset " + std::to_string(at) + ": " + what), offset(at), problem(what) {}

std::size_t Utf8SequenceLength(std::string_view s, std::size_t i) {
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = b(i);
    if (c < 0x80) return 1;
    std::size_t n;
    unsigned char lo = 0x80, hi = 0xBF;  // range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        if (c == 0xE0) lo = 0xA0;  // overlong
        if (c == 0xED) hi = 0x9F;  // surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        if (c == 0xF0) lo = 0x90;  // overlong
        if (c == 0xF4) hi = 0x8F;  // past U+10FFFF
    } else {
        return 0;
    }
    if (i + n > s.size()) return 0;
    if (b(i + 1) < lo || b(i + 1) > hi) return 0;
    for (std::size_t k = 2; k < n; ++k)
        if (b(i + k) < 0x80 || b(i + k) > 0xBF) return 0;
    return n;
}

// ---------------------------------------------------------------- reader

JsonReader::JsonReader(std::string_view text, int maxDepth) : text_(text), maxDepth_(maxDepth) {
    // Windows editors may put a byte order mark before the text; offsets
    // still count from the file's first byte.
    if (text_.substr(0, 3) == "\xEF\xBB\xBF") pos_ = 3;
}

void JsonReader::fail(std::size_t at, const std::string& problem) const { throw JsonError(at, problem); }

void JsonReader::skipSpace() {
    while (pos_ < text_.size()) {
        const char c = text_[pos_];
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r') break;
        ++pos_;
    }
}

std::size_t JsonReader::offset() {
    skipSpace();
    return pos_;
}

char JsonReader::nextByte() {
    skipSpace();
    if (pos_ >= text_.size()) fail(pos_, "the data ends too early");
    return text_[pos_];
}

JsonReader::Kind JsonReader::peek() {
    const char c = nextByte();
    switch (c) {
        case '{': return Kind::Object;
        case '[': return Kind::Array;
        case '"': return Kind::String;
        case 't':
        case 'f': return Kind::Bool;
        case 'n': return Kind::Null;
        default:
            if (c == '-' || isDigit(c)) return Kind::Number;
            fail(pos_, "unexpected " + describeByte(c));
    }
}

void JsonReader::push(bool object) {
    if (static_cast<int>(stack_.size()) >= maxDepth_)
        fail(pos_, "values nested deeper than " + std::to_string(maxDepth_) + " levels");
    stack_.push_back({object, true});
    ++pos_;
}

void JsonReader::beginObject() {
    if (peek() != Kind::Object) fail(pos_, "expected '{'");
    push(true);
}

void JsonReader::beginArray() {
    if (peek() != Kind::Array) fail(pos_, "expected '['");
    push(false);
}

bool JsonReader::closes(char bracket) {
    if (nextByte() != bracket) return false;
    ++pos_;
    stack_.pop_back();
    return true;
}

bool JsonReader::nextKey(std::string& key) {
    if (closes('}')) return false;
    Level& top = stack_.back();
    if (!top.first) {
        if (text_[pos_] != ',') fail(pos_, "expected ',' or '}'");
        ++pos_;
        if (nextByte() != '"') fail(pos_, "expected a key in quotes");
    } else if (text_[pos_] != '"') {
        fail(pos_, "expected a key in quotes or '}'");
    }
    top.first = false;
    key = readString();
    if (nextByte() != ':') fail(pos_, "expected ':'");
    ++pos_;
    return true;
}

bool JsonReader::nextElement() {
    if (closes(']')) return false;
    Level& top = stack_.back();
    if (!top.first) {
        if (text_[pos_] != ',') fail(pos_, "expected ',' or ']'");
        ++pos_;
    }
    top.first = false;
    return true;
}

std::string JsonReader::readString() {
    std::string out;
    scanString(&out);
    return out;
}

void JsonReader::scanString(std::string* out) {
    if (peek() != Kind::String) fail(pos_, "expected a string");
    const std::size_t start = pos_++;
    for (;;) {
        // A run of plain characters at once.
        std::size_t run = pos_;
        while (run < text_.size()) {
            const auto u = static_cast<unsigned char>(text_[run]);
            if (u < 0x20 || u >= 0x80 || u == '"' || u == '\\') break;
            ++run;
        }
        if (out) out->append(text_.substr(pos_, run - pos_));
        pos_ = run;
        if (pos_ >= text_.size()) fail(start, "a string has no closing quote");
        const char c = text_[pos_];
        const auto u = static_cast<unsigned char>(c);
        if (c == '"') {
            ++pos_;
            return;
        }
        if (u < 0x20) fail(pos_, "a control character inside a string");
        if (u >= 0x80) {
            const std::size_t n = Utf8SequenceLength(text_, pos_);
            if (n == 0) fail(pos_, "text that is not UTF-8");
            if (out) out->append(text_.substr(pos_, n));
            pos_ += n;
            continue;
        }
        const std::size_t esc = pos_++;
        if (pos_ >= text_.size()) fail(start, "a string has no closing quote");
        const char e = text_[pos_++];
        char plain = 0;
        switch (e) {
            case '"': plain = '"'; break;
            case '\\': plain = '\\'; break;
            case '/': plain = '/'; break;
            case 'b': plain = '\b'; break;
            case 'f': plain = '\f'; break;
            case 'n': plain = '\n'; break;
            case 'r': plain = '\r'; break;
            case 't': plain = '\t'; break;
            case 'u': {
                auto hex4 = [&](std::size_t at) -> std::uint32_t {
                    if (at + 4 > text_.size()) fail(at, "\\u needs four hexadecimal digits");
                    std::uint32_t v = 0;
                    for (std::size_t k = 0; k < 4; ++k) {
                        const int h = HexDigitValue(text_[at + k]);
                        if (h < 0) fail(at, "\\u needs four hexadecimal digits");
                        v = v * 16 + static_cast<std::uint32_t>(h);
                    }
                    return v;
                };
                std::uint32_t cp = hex4(pos_);
                pos_ += 4;
                if (cp >= 0xDC00 && cp <= 0xDFFF) fail(esc, "a low surrogate without a high one");
                if (cp >= 0xD800 && cp <= 0xDBFF) {
                    if (pos_ + 1 >= text_.size() || text_[pos_] != '\\' || text_[pos_ + 1] != 'u')
                        fail(esc, "a high surrogate without a low one");
                    const std::uint32_t low = hex4(pos_ + 2);
                    if (low < 0xDC00 || low > 0xDFFF) fail(esc, "a high surrogate without a low one");
                    pos_ += 6;
                    cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                }
                if (out) appendUtf8(*out, cp);
                continue;
            }
            default: fail(esc, "an unknown escape " + describeByte(e));
        }
        if (out) *out += plain;
    }
}

double JsonReader::readNumber() {
    if (peek() != Kind::Number) fail(pos_, "expected a number");
    const std::size_t start = pos_;
    auto digits = [&] {
        const std::size_t from = pos_;
        while (pos_ < text_.size() && isDigit(text_[pos_])) ++pos_;
        return pos_ - from;
    };
    if (text_[pos_] == '-') ++pos_;
    if (pos_ < text_.size() && text_[pos_] == '0') {
        ++pos_;
    } else if (digits() == 0) {
        fail(start, "a number without digits");
    }
    if (pos_ < text_.size() && text_[pos_] == '.') {
        ++pos_;
        if (digits() == 0) fail(start, "a number without digits after its point");
    }
    if (pos_ < text_.size() && (text_[pos_] == 'e' || text_[pos_] == 'E')) {
        ++pos_;
        if (pos_ < text_.size() && (text_[pos_] == '+' || text_[pos_] == '-')) ++pos_;
        if (digits() == 0) fail(start, "a number without digits in its exponent");
    }
    double v = 0;
    const char* first = text_.data() + start;
    const char* last = text_.data() + pos_;
    const auto r = std::from_chars(first, last, v);
    if (r.ec == std::errc::result_out_of_range) fail(start, "a number out of range");
    if (r.ec != std::errc() || r.ptr != last || !std::isfinite(v)) fail(start, "a number that does not convert");
    return v;
}

void JsonReader::expectLiteral(std::string_view word) {
    if (text_.substr(pos_, word.size()) != word) fail(pos_, "unexpected " + describeByte(text_[pos_]));
    pos_ += word.size();
}

bool JsonReader::readBool() {
    if (peek() != Kind::Bool) fail(pos_, "expected true or false");
    if (text_[pos_] == 't') {
        expectLiteral("true");
        return true;
    }
    expectLiteral("false");
    return false;
}

void JsonReader::readNull() {
    if (peek() != Kind::Null) fail(pos_, "expected null");
    expectLiteral("null");
}

void JsonReader::skipValue() {
    std::string key;
    switch (peek()) {
        case Kind::Object:
            beginObject();
            while (nextKey(key)) skipValue();
            break;
        case Kind::Array:
            beginArray();
            while (nextElement()) skipValue();
            break;
        case Kind::String: scanString(nullptr); break;
        case Kind::Number: readNumber(); break;
        case Kind::Bool: readBool(); break;
        case Kind::Null: readNull(); break;
    }
}

void JsonReader::finish() {
    skipSpace();
    if (pos_ != text_.size()) fail(pos_, "unexpected text after the end of the data");
}

// ---------------------------------------------------------------- writer

void JsonWriter::newline(std::size_t depth) {
    out_ += '\n';
    out_.append(2 * depth, ' ');
}

void JsonWriter::beforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (stack_.empty()) {
        if (!out_.empty()) throw std::logic_error("JsonWriter: a second outer value");
        return;
    }
    Level& top = stack_.back();
    if (top.object) throw std::logic_error("JsonWriter: a value without a key");
    if (top.count > 0) out_ += top.oneLine ? ", " : ",";
    if (!top.oneLine) newline(stack_.size());
    ++top.count;
}

void JsonWriter::key(std::string_view k) {
    if (stack_.empty() || !stack_.back().object || afterKey_)
        throw std::logic_error("JsonWriter: a key outside an object");
    Level& top = stack_.back();
    if (top.count > 0 && !(top.lastKey < k)) throw std::logic_error("JsonWriter: keys out of order");
    if (top.count > 0) out_ += ',';
    newline(stack_.size());
    writeString(k);
    out_ += ": ";
    top.lastKey.assign(k);
    ++top.count;
    afterKey_ = true;
}

void JsonWriter::beginObject() {
    beforeValue();
    out_ += '{';
    stack_.push_back({true, false, 0, {}});
}

void JsonWriter::beginArray(bool oneLine) {
    beforeValue();
    out_ += '[';
    stack_.push_back({false, oneLine, 0, {}});
}

void JsonWriter::endObject() {
    if (stack_.empty() || !stack_.back().object || afterKey_) throw std::logic_error("JsonWriter: endObject");
    const bool any = stack_.back().count > 0;
    stack_.pop_back();
    if (any) newline(stack_.size());
    out_ += '}';
    if (stack_.empty()) out_ += '\n';
}

void JsonWriter::endArray() {
    if (stack_.empty() || stack_.back().object) throw std::logic_error("JsonWriter: endArray");
    const bool any = stack_.back().count > 0 && !stack_.back().oneLine;
    stack_.pop_back();
    if (any) newline(stack_.size());
    out_ += ']';
    if (stack_.empty()) out_ += '\n';
}

void JsonWriter::writeString(std::string_view s) {
    static const char hex[] = "0123456789abcdef";
    out_ += '"';
    for (std::size_t i = 0; i < s.size();) {
        const char c = s[i];
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x80) {
            // Bytes that are not UTF-8 become U+FFFD, so the file always reads back.
            const std::size_t n = Utf8SequenceLength(s, i);
            if (n == 0) {
                out_ += "\xEF\xBF\xBD";
                ++i;
            } else {
                out_.append(s.substr(i, n));
                i += n;
            }
            continue;
        }
        switch (c) {
            case '"': out_ += "\\\""; break;
            case '\\': out_ += "\\\\"; break;
            case '\n': out_ += "\\n"; break;
            case '\r': out_ += "\\r"; break;
            case '\t': out_ += "\\t"; break;
            case '\b': out_ += "\\b"; break;
            case '\f': out_ += "\\f"; break;
            default:
                if (u < 0x20) {
                    out_ += "\\u00";
                    out_ += hex[u >> 4];
                    out_ += hex[u & 15];
                } else {
                    out_ += c;
                }
        }
        ++i;
    }
    out_ += '"';
}

void JsonWriter::value(std::string_view s) {
    beforeValue();
    writeString(s);
    if (stack_.empty()) out_ += '\n';
}

void JsonWriter::null() {
    beforeValue();
    out_ += "null";
    if (stack_.empty()) out_ += '\n';
}

void JsonWriter::value(double d) {
    if (!std::isfinite(d)) throw std::logic_error("JsonWriter: a number that is not finite");
    beforeValue();
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, d);
    out_.append(buf, r.ptr);
    if (stack_.empty()) out_ += '\n';
}

void JsonWriter::value(int i) {
    beforeValue();
    char buf[16];
    const auto r = std::to_chars(buf, buf + sizeof buf, i);
    out_.append(buf, r.ptr);
    if (stack_.empty()) out_ += '\n';
}

}  // namespace px
