#pragma once
// A small strict JSON reader and a pretty-printing writer, enough for the
// project file. The reader pulls values one at a time (no tree is built, so a
// large file costs only what the caller keeps); every fault names the byte
// offset where it was found.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "input/error.h"

namespace px {

// A malformed or unexpected value; offset counts bytes from the start of the
// text (0 is the first byte).
class JsonError : public AppError {
public:
    JsonError(std::size_t offset, const std::string& problem);
    std::size_t offset;
    std::string problem;
};

inline constexpr int kJsonMaxDepth = 64;

// Value of a hexadecimal digit (either case); -1 for any other byte.
int HexDigitValue(char c);

class JsonReader {
public:
    enum class Kind { Null, Bool, Number, String, Array, Object };

    explicit JsonReader(std::string_view text, int maxDepth = kJsonMaxDepth);

    // Kind of the next value (white space skipped); fails at the end of the
    // text or on a character that starts no value.
    Kind peek();
    // Offset of the next value, after white space.
    std::size_t offset();

    // Objects: beginObject, then nextKey until it returns false (it consumes
    // the closing brace); after each true exactly one value must be read.
    void beginObject();
    bool nextKey(std::string& key);
    // Arrays likewise, with nextElement.
    void beginArray();
    bool nextElement();

    std::string readString();
    // A number in JSON's grammar, converted exactly; one that does not fit a
    // double (1e999, 1e-400) is refused.
    double readNumber();
    bool readBool();
    void readNull();
    // Reads and discards one value of any kind, checking it all the same.
    void skipValue();
    // Nothing but white space may follow the value read last.
    void finish();

    [[noreturn]] void fail(std::size_t at, const std::string& problem) const;

private:
    struct Level {
        bool object;
        bool first;
    };
    void skipSpace();
    // The next byte after white space; fails at the end of the text.
    char nextByte();
    // Leaves the innermost level when the next byte is its closing bracket.
    bool closes(char bracket);
    void push(bool object);
    void expectLiteral(std::string_view word);
    // Reads a string into *out, or only checks it when out is null.
    void scanString(std::string* out);
    std::string_view text_;
    std::size_t pos_ = 0;
    int maxDepth_;
    std::vector<Level> stack_;
};

// Writes JSON with two-space indentation. Object keys must come in sorted
// order (byte order), so that equal data always gives equal text. An array
// opened "on one line" writes its elements side by side.
class JsonWriter {
public:
    void beginObject();
    void endObject();
    void beginArray(bool oneLine = false);
    void endArray();
    void key(std::string_view k);
    void value(std::string_view s);
    void value(const char* s) { value(std::string_view(s)); }
    // The shortest text that reads back as the same double; finite only.
    void value(double d);
    void value(int i);
    void null();
    // The text so far, ending with a newline once the outer value is closed.
    const std::string& text() const { return out_; }

private:
    struct Level {
        bool object;
        bool oneLine;
        int count;
        std::string lastKey;
    };
    void beforeValue();
    void newline(std::size_t depth);
    void writeString(std::string_view s);
    std::string out_;
    std::vector<Level> stack_;
    bool afterKey_ = false;
};

// Length of the UTF-8 sequence starting at s[i] (1..4), or 0 when the bytes
// there are not well-formed UTF-8 (overlong forms, surrogates and code points
// past U+10FFFF are not).
std::size_t Utf8SequenceLength(std::string_view s, std::size_t i);

}  // namespace px
