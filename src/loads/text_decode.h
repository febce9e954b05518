#pragma once
// Text of files written by other programs: UTF-8 when the whole file is valid
// UTF-8, otherwise single-byte Windows-1252 (what Windows programs export).
#include <string>
#include <string_view>

namespace px {

// True when `bytes` is well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF).
bool IsValidUtf8(std::string_view bytes);

// Windows-1252 to UTF-8, byte for byte. The five bytes the code page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of the
// same value, so no byte is lost.
std::string Windows1252ToUtf8(std::string_view bytes);

// The whole file's text as UTF-8: `bytes` itself when valid UTF-8 (a byte
// order mark kept; callers that split lines skip it), otherwise `bytes` read
// as Windows-1252 into `storage`, after its byte order mark (a mark, not text)
// if it has one. The result views `bytes` or `storage`.
std::string_view DecodeFileText(std::string_view bytes, std::string& storage);

// True when `bytes` starts with a UTF-16 byte order mark (FF FE or FE FF),
// as Windows programs save "Unicode" text.
bool HasUtf16ByteOrderMark(std::string_view bytes);

// Characters of a value a message shows before it is cut.
inline constexpr std::size_t kShownValueChars = 60;

// A value as a message shows it: every byte that is not printable text (a
// control character such as NUL or a tab, a byte of no valid UTF-8
// sequence) written as \xNN, and a value longer than `maxChars` characters
// cut there and followed by "...".
std::string ShownValue(std::string_view value, std::size_t maxChars = kShownValueChars);

// `message` with its first `value` written as ShownValue shows it.
std::string WithShownValue(const std::string& message, std::string_view value);

}  // namespace px
