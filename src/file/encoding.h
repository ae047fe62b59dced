// Character encodings of drawing files.
//
// The line list keeps a file's bytes. A byte-order mark decides the
// encoding; without one, valid UTF-8 is UTF-8 and anything else is the
// Windows code page 1252. UTF-16 files are held as UTF-8 in memory and
// written back as UTF-16.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "document/linelist.h"

namespace vestrel {

bool IsValidUtf8(std::string_view s);

// Finds the encoding of a file's bytes and turns them into the bytes the
// line list holds (byte-order mark removed, UTF-16 as UTF-8). UTF-16
// without a byte-order mark is told by its zero bytes. Returns nothing for
// bytes that cannot be held (UTF-16 of odd length).
struct DecodedFile {
  TextEncoding encoding;
  std::string text;
};
std::optional<DecodedFile> DecodeFileBytes(std::string bytes);

// The inverse: the bytes of a file with this encoding.
std::string EncodeFileBytes(std::string text, TextEncoding encoding);

// Document bytes to UTF-8 for showing them, and typed UTF-8 to document
// bytes. Showing decodes the "\U+XXXX" escapes of characters that a
// drawing's code page lacks; writing writes such characters as escapes
// (a pair of them, the UTF-16 halves, beyond U+FFFF).
std::string DecodeUnicode(std::string_view s, TextEncoding encoding);
std::string EncodeUnicode(std::string_view utf8, TextEncoding encoding);

// Drawings are written in UTF-8 from this version (AC1021) on.
inline constexpr int kUtf8FileVersion = 1021;

// The same for a drawing of version `cadver`. Other programs read a drawing
// older than that in the code page its header names, even when its bytes
// look like UTF-8 (as plain ASCII does): there, what lies beyond ASCII is
// written as escapes, which read the same in every code page.
std::string EncodeUnicode(std::string_view utf8, TextEncoding encoding, int cadver);

}  // namespace vestrel
