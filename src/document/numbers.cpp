#include "document/numbers.h"

#include <cmath>

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
  const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v, 16);
  if (ec != std::errc() || end != t.data() + t.size()) return std::nullopt;
  return v;
}

std::optional<double> ParseDouble(std::string_view t) {
  bool negative = false;
  if (!t.empty() && (t[0] == '+' || t[0] == '-')) {
    negative = t[0] == '-';
    t.remove_prefix(1);
  }
  // from_chars would take "inf" and "nan"; a drawing has no use for them.
  if (t.empty() || !(t[0] == '.' || (t[0] >= '0' && t[0] <= '9'))) return std::nullopt;
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
