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

}  // namespace px
