// Character encodings of drawing files.
//
// The line list keeps a file's bytes. A byte-order mark decides the
// encoding; without one, valid UTF-8 is UTF-8 and anything else is the
// Windows code page 1252. UTF-16 files are held as UTF-8 in memory and
// written back as UTF-16.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "document/linelist.h"

namespace vestrel {

// The code point of the UTF-8 sequence at s[i], i moved past it. -1, and i
// left where it was, for a sequence that is not UTF-8: a byte that begins
// none, a continuation byte missing or cut off by the end, an overlong form,
// a value beyond U+10FFFF, and a surrogate unless `surrogates` is set (as
// the unpaired halves of a UTF-16 file are held). Every reader of UTF-8 in
// the program decodes with it; what stands for a bad byte is the caller's.
std::int32_t NextCodePoint(std::string_view s, std::size_t& i, bool surrogates = false);

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

// What the user types goes into one line of the drawing, so it may carry
// no line break into it, nor any other control character (below a blank,
// DEL, and U+0080 to U+009F). Names refuse them; texts write the ones DXF
// has a notation for in that notation.

// Whether typed UTF-8 holds a control character.
bool HasControlCharacter(std::string_view utf8);

// Whether typed UTF-8 may name a layer or line type of a drawing in
// `encoding`: no control character, and, as the drawing would hold it,
// none of < > / \ " : ; ? * | , = ` (other CAD programs refuse those in
// names; a character the encoding lacks would be a "\U+" escape).
bool IsValidName(std::string_view utf8, TextEncoding encoding);

// A line of a text as its DXF value: the control characters below a blank
// in caret notation, the character 64 above them after a "^" ("^I" for a
// tab, "^J" for a line feed), and a caret itself as "^ ", as other CAD
// programs read them. DEL and U+0080 to U+009F have no such notation and
// stay as they are.
std::string CaretEncoded(std::string_view utf8);
// The inverse: a text's value with its carets read.
std::string CaretDecoded(std::string_view s);

}  // namespace vestrel
