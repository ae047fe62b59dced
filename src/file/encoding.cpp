#include "file/encoding.h"

#include <algorithm>
#include <cstdint>

namespace vestrel {

namespace {

// Code page 1252, bytes 0x80 to 0x9F. The five unassigned bytes keep their
// C1 control code points, so that every byte has a character.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, std::uint32_t cp) {
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

}  // namespace

std::int32_t NextCodePoint(std::string_view s, std::size_t& i, bool surrogates) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  if (b0 < 0x80) {
    ++i;
    return b0;
  }
  int extra;
  std::uint32_t cp;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    extra = 1, cp = b0 & 0x1F;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    extra = 2, cp = b0 & 0x0F;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    extra = 3, cp = b0 & 0x07;
  } else {
    return -1;
  }
  if (i + static_cast<std::size_t>(extra) >= s.size()) return -1;
  for (int k = 1; k <= extra; ++k) {
    const auto b = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
    if ((b & 0xC0) != 0x80) return -1;
    cp = (cp << 6) | (b & 0x3F);
  }
  // Overlong forms and values beyond Unicode.
  if ((extra == 2 && cp < 0x800) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF))) return -1;
  if (!surrogates && cp >= 0xD800 && cp <= 0xDFFF) return -1;
  i += static_cast<std::size_t>(extra) + 1;
  return static_cast<std::int32_t>(cp);
}

namespace {

std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
  std::string out;
  out.reserve(bytes.size() / 2);
  auto unit = [&](std::size_t k) -> std::uint32_t {
    const auto a = static_cast<unsigned char>(bytes[2 * k]);
    const auto b = static_cast<unsigned char>(bytes[2 * k + 1]);
    return bigEndian ? (a << 8 | b) : (b << 8 | a);
  };
  const std::size_t units = bytes.size() / 2;
  for (std::size_t k = 0; k < units; ++k) {
    std::uint32_t u = unit(k);
    if (u >= 0xD800 && u <= 0xDBFF && k + 1 < units) {
      const std::uint32_t lo = unit(k + 1);
      if (lo >= 0xDC00 && lo <= 0xDFFF) {
        u = 0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00);
        ++k;
      }
    }
    AppendUtf8(out, u);  // an unpaired surrogate is kept as its own code point
  }
  return out;
}

std::string Utf8ToUtf16(std::string_view s, bool bigEndian, bool bom) {
  std::string out;
  out.reserve(s.size() * 2 + 2);
  auto put = [&](std::uint32_t u) {
    const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
    if (bigEndian) {
      out += hi;
      out += lo;
    } else {
      out += lo;
      out += hi;
    }
  };
  if (bom) put(0xFEFF);
  for (std::size_t i = 0; i < s.size();) {
    std::int32_t cp = NextCodePoint(s, i, true);
    if (cp < 0) {  // cannot come from a UTF-16 file; typed text is checked before
      cp = 0xFFFD;
      ++i;
    }
    const auto c = static_cast<std::uint32_t>(cp);
    if (c >= 0x10000) {
      put(0xD800 + ((c - 0x10000) >> 10));
      put(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      put(c);
    }
  }
  return out;
}

// UTF-16 without a byte-order mark shows itself by its zero bytes: the
// high byte of every Latin character. Nothing when the bytes look like no
// UTF-16; else whether it is big-endian.
std::optional<bool> Utf16WithoutMark(std::string_view bytes) {
  const std::size_t n = std::min<std::size_t>(bytes.size(), 1 << 16) / 2 * 2;
  if (n < 4) return std::nullopt;
  std::size_t zeroEven = 0, zeroOdd = 0;
  for (std::size_t i = 0; i < n; i += 2) {
    zeroEven += bytes[i] == 0;
    zeroOdd += bytes[i + 1] == 0;
  }
  const std::size_t units = n / 2;
  if (zeroOdd * 10 >= units * 9 && zeroEven * 10 < units) return false;
  if (zeroEven * 10 >= units * 9 && zeroOdd * 10 < units) return true;
  return std::nullopt;
}

}  // namespace

bool IsValidUtf8(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size()) {
    // Plain ASCII goes eight bytes at a time.
    while (i + 8 <= s.size()) {
      std::uint64_t w;
      __builtin_memcpy(&w, s.data() + i, 8);
      if (w & 0x8080808080808080ull) break;
      i += 8;
    }
    if (i >= s.size()) break;
    if (NextCodePoint(s, i) < 0) return false;
  }
  return true;
}

std::optional<DecodedFile> DecodeFileBytes(std::string bytes) {
  auto starts = [&](std::string_view bom) { return std::string_view(bytes).substr(0, bom.size()) == bom; };
  if (starts("\xEF\xBB\xBF")) {
    bytes.erase(0, 3);
    return DecodedFile{TextEncoding::Utf8Bom, std::move(bytes)};
  }
  if (starts("\xFF\xFE") || starts("\xFE\xFF")) {
    const bool big = bytes[0] == '\xFE';
    if (bytes.size() % 2 != 0) return std::nullopt;
    return DecodedFile{big ? TextEncoding::Utf16BE : TextEncoding::Utf16LE,
                       Utf16ToUtf8(std::string_view(bytes).substr(2), big)};
  }
  if (const auto big = Utf16WithoutMark(bytes)) {
    if (bytes.size() % 2 != 0) return std::nullopt;
    return DecodedFile{*big ? TextEncoding::Utf16BENoBom : TextEncoding::Utf16LENoBom, Utf16ToUtf8(bytes, *big)};
  }
  const TextEncoding enc = IsValidUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Ansi;
  return DecodedFile{enc, std::move(bytes)};
}

std::string EncodeFileBytes(std::string text, TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Utf8Bom: return "\xEF\xBB\xBF" + text;
    case TextEncoding::Utf16LE: return Utf8ToUtf16(text, false, true);
    case TextEncoding::Utf16BE: return Utf8ToUtf16(text, true, true);
    case TextEncoding::Utf16LENoBom: return Utf8ToUtf16(text, false, false);
    case TextEncoding::Utf16BENoBom: return Utf8ToUtf16(text, true, false);
    default: return text;
  }
}

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The code unit of "\U+XXXX" at s[i]; -1 when there is none.
std::int32_t UnicodeEscape(std::string_view s, std::size_t i) {
  if (s.substr(i, 3) != "\\U+" || i + 7 > s.size()) return -1;
  std::int32_t u = 0;
  for (std::size_t k = i + 3; k < i + 7; ++k) {
    const int h = HexDigit(s[k]);
    if (h < 0) return -1;
    u = u << 4 | h;
  }
  return u;
}

// Drawings write the characters their code page lacks as "\U+XXXX" (UTF-16
// code units, so a pair of them for what lies beyond); in UTF-8 files too.
std::string DecodeUnicodeEscapes(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) {
    std::int32_t u = UnicodeEscape(s, i);
    if (u < 0) {
      out += s[i++];
      continue;
    }
    i += 7;
    if (u >= 0xD800 && u < 0xDC00) {
      const std::int32_t low = UnicodeEscape(s, i);
      if (low >= 0xDC00 && low < 0xE000) {
        u = 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00);
        i += 7;
      }
    }
    const bool unpaired = u >= 0xD800 && u < 0xE000;
    AppendUtf8(out, u == 0 || unpaired ? 0xFFFD : static_cast<std::uint32_t>(u));
  }
  return out;
}

// Document bytes as UTF-8.
std::string DecodeBytes(std::string_view s, TextEncoding encoding) {
  if (encoding != TextEncoding::Ansi) {
    // Held as UTF-8; what is not valid shows as the replacement character.
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
      const std::size_t at = i;
      const std::int32_t cp = NextCodePoint(s, i);
      if (cp < 0) {
        AppendUtf8(out, 0xFFFD);
        i = at + 1;
      } else {
        out.append(s.substr(at, i - at));
      }
    }
    return out;
  }
  std::string out;
  out.reserve(s.size() + s.size() / 4);
  for (const char ch : s) {
    const auto b = static_cast<unsigned char>(ch);
    if (b < 0x80)
      out += ch;
    else if (b < 0xA0)
      AppendUtf8(out, kCp1252High[b - 0x80]);
    else
      AppendUtf8(out, b);
  }
  return out;
}

}  // namespace

std::string DecodeUnicode(std::string_view s, TextEncoding encoding) {
  std::string out = DecodeBytes(s, encoding);
  // The escapes are ASCII, which every encoding keeps as it is.
  if (out.find("\\U+") != std::string::npos) out = DecodeUnicodeEscapes(out);
  return out;
}

namespace {

// "\U+XXXX" for a character the file cannot hold as it is; a pair of them
// (its UTF-16 halves) beyond the first 65536.
void AppendEscape(std::string& out, std::uint32_t cp) {
  auto unit = [&out](std::uint32_t u) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    out += "\\U+";
    for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(u >> shift) & 0xF];
  };
  if (cp >= 0x10000) {
    unit(0xD800 + ((cp - 0x10000) >> 10));
    unit(0xDC00 + ((cp - 0x10000) & 0x3FF));
  } else {
    unit(cp);
  }
}

// Typed UTF-8 as bytes of code page 1252, or as plain ASCII when `ascii`
// is set; what those cannot hold as escapes.
std::string EncodeNarrow(std::string_view utf8, bool ascii) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const std::size_t at = i;
    const std::int32_t cp = NextCodePoint(utf8, i);
    if (cp < 0) {  // not UTF-8: nothing to say what it was
      out += '?';
      i = at + 1;
      continue;
    }
    if (cp < 0x80) {
      out += static_cast<char>(cp);
      continue;
    }
    int byte = -1;
    if (!ascii) {
      if (cp >= 0xA0 && cp <= 0xFF) byte = cp;
      for (int k = 0; k < 32 && byte < 0; ++k)
        if (kCp1252High[k] == cp) byte = 0x80 + k;
    }
    if (byte >= 0)
      out += static_cast<char>(byte);
    else
      AppendEscape(out, static_cast<std::uint32_t>(cp));
  }
  return out;
}

}  // namespace

std::string EncodeUnicode(std::string_view utf8, TextEncoding encoding) {
  if (encoding == TextEncoding::Ansi) return EncodeNarrow(utf8, false);
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const std::size_t at = i;
    std::int32_t cp = NextCodePoint(utf8, i);
    if (cp < 0) {
      cp = 0xFFFD;
      i = at + 1;
    }
    AppendUtf8(out, static_cast<std::uint32_t>(cp));
  }
  return out;
}

std::string EncodeUnicode(std::string_view utf8, TextEncoding encoding, int cadver) {
  if (encoding == TextEncoding::Utf8 && cadver < kUtf8FileVersion) return EncodeNarrow(utf8, true);
  return EncodeUnicode(utf8, encoding);
}

bool HasControlCharacter(std::string_view utf8) {
  for (std::size_t i = 0; i < utf8.size();) {
    const std::size_t at = i;
    const std::int32_t cp = NextCodePoint(utf8, i);
    if (cp < 0) {
      i = at + 1;
      continue;
    }
    if (cp < 0x20 || (cp >= 0x7F && cp <= 0x9F)) return true;
  }
  return false;
}

bool IsValidName(std::string_view utf8, TextEncoding encoding) {
  if (HasControlCharacter(utf8)) return false;
  return EncodeUnicode(utf8, encoding).find_first_of("<>/\\\":;?*|,=`") == std::string::npos;
}

std::string CaretEncoded(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (const char c : utf8) {
    if (c == '^') {
      out += "^ ";
    } else if (static_cast<unsigned char>(c) < 0x20) {
      out += '^';
      out += static_cast<char>(c + 0x40);
    } else {
      out += c;
    }
  }
  return out;
}

std::string CaretDecoded(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    const char next = i + 1 < s.size() ? s[i + 1] : '\0';
    if (s[i] == '^' && next == ' ') {
      out += '^';
      ++i;
    } else if (s[i] == '^' && next >= '@' && next <= '_') {
      out += static_cast<char>(next - 0x40);
      ++i;
    } else {
      out += s[i];
    }
  }
  return out;
}

}  // namespace vestrel
