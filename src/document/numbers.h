// Reading the values of group-code pairs: trimming, group codes, integers,
// handles and reals. Numbers always use "." as decimal separator, whatever
// the locale says.
#pragma once

#include <charconv>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vestrel {

// Strips blanks and control characters (every byte up to and including
// space) from both ends.
inline std::string_view Trim(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return s.substr(b, e - b);
}

// Whether two names of table entries (layers, line types) are one: the
// letters a to z in either case.
inline bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto up = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    if (up(a[i]) != up(b[i])) return false;
  }
  return true;
}

// A group code is compared as text. We turn the trimmed text into its
// number only when the text is the plain way of writing that number ("8",
// "370"), so that comparing numbers gives the same answer as comparing the
// texts: "08" or "+8" are not group 8. Anything else gives kNoGroup.
inline constexpr int kNoGroup = -1;
inline int GroupCode(std::string_view t) {
  if (t.empty() || t.size() > 5) return kNoGroup;
  if (t.size() > 1 && t[0] == '0') return kNoGroup;
  int v = 0;
  for (char c : t) {
    if (c < '0' || c > '9') return kNoGroup;
    v = v * 10 + (c - '0');
  }
  return v;
}

// A decimal integer with an optional sign; nothing else may follow.
std::optional<std::int32_t> ParseInt(std::string_view t);

// A handle: hexadecimal digits, upper or lower case, at most 64 bits.
std::optional<std::uint64_t> ParseHandle(std::string_view t);

// A finite real number with an optional sign, "." as decimal separator and
// an optional exponent.
std::optional<double> ParseDouble(std::string_view t);
// The same into `field` when `t` is one (else `field` stays); whether it was.
inline bool ParseDouble(std::string_view t, double& field) {
  const auto v = ParseDouble(t);
  if (v) field = *v;
  return v.has_value();
}

// A number in fixed point with `decimals` digits after the ".", as the
// program shows measurements and coordinates: 12.5 with 4 decimals is
// "12.5000". Minus zero is written as zero.
std::string FormatFixed(double v, int decimals);

}  // namespace vestrel
