#include "document/numbers.h"

#include <cmath>
#include <cstdint>

namespace vestrel {

std::optional<std::int32_t> ParseInt(std::string_view t) {
  if (!t.empty() && t[0] == '+') {
    t.remove_prefix(1);
    if (!t.empty() && t[0] == '-') return std::nullopt;
  }
  std::int32_t v = 0;
  const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v, 10);
  if (ec != std::errc() || end != t.data() + t.size()) return std::nullopt;
  return v;
}

std::optional<std::uint64_t> ParseHandle(std::string_view t) {
  if (t.empty()) return std::nullopt;
  std::uint64_t v = 0;
  for (const char c : t) {
    unsigned digit;
    if (c >= '0' && c <= '9')
      digit = static_cast<unsigned>(c - '0');
    else if ((c | 0x20) >= 'a' && (c | 0x20) <= 'f')
      digit = static_cast<unsigned>((c | 0x20) - 'a' + 10);
    else
      return std::nullopt;
    if (v >> 60) return std::nullopt;  // beyond 64 bits
    v = v << 4 | digit;
  }
  return v;
}

namespace {

// The plain decimals drawings are made of ("12.5", "0.0004", "300"),
// when their digits make an integer a double holds exactly and at most
// 22 of them follow the point: then the digits divided by that power of
// ten, one correctly rounded division, is the double nearest the text, as
// from_chars would find it. Anything else (an exponent, more digits, a
// point with no digit on either side) is nothing here.
std::optional<double> PlainDecimal(std::string_view t) {
  static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                       1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  constexpr std::uint64_t kExact = std::uint64_t{1} << 53;
  std::uint64_t digits = 0;
  std::size_t i = 0, point = t.size();
  for (; i < t.size(); ++i) {
    const char c = t[i];
    if (c >= '0' && c <= '9') {
      digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
      if (digits > kExact) return std::nullopt;
    } else if (c == '.' && point == t.size()) {
      point = i;
    } else {
      return std::nullopt;
    }
  }
  const std::size_t after = point == t.size() ? 0 : t.size() - point - 1;
  if ((point < t.size() && after == 0) || after > 22) return std::nullopt;
  return static_cast<double>(digits) / kPowers[after];
}

}  // namespace

std::optional<double> ParseDouble(std::string_view t) {
  bool negative = false;
  if (!t.empty() && (t[0] == '+' || t[0] == '-')) {
    negative = t[0] == '-';
    t.remove_prefix(1);
  }
  // from_chars would take "inf" and "nan"; a drawing has no use for them.
  if (t.empty() || !(t[0] == '.' || (t[0] >= '0' && t[0] <= '9'))) return std::nullopt;
  if (const auto plain = PlainDecimal(t)) return negative ? -*plain : *plain;
  double v = 0;
  const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
  if (ec != std::errc() || end != t.data() + t.size() || !std::isfinite(v)) return std::nullopt;
  return negative ? -v : v;
}

std::string FormatFixed(double v, int decimals) {
  char buf[400];  // the largest double has 309 digits before the point
  const auto r = std::to_chars(buf, buf + sizeof buf, v + 0.0, std::chars_format::fixed, decimals);
  return r.ec == std::errc() ? std::string(buf, r.ptr) : std::string();
}

}  // namespace vestrel
