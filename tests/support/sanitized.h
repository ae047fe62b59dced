// Whether this test program runs under AddressSanitizer, whose shadow
// memory makes what the process takes no measure of what the program takes.
#pragma once

namespace vestrel::test {

#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kSanitized = true;
#else
inline constexpr bool kSanitized = false;
#endif
#else
inline constexpr bool kSanitized = false;
#endif

}  // namespace vestrel::test
