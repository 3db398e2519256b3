#pragma once

#include <cstddef>
#include <string_view>

namespace tav {

// Length of the well-formed UTF-8 sequence at s[i], 0 when there is none
// (overlong forms, surrogates and values above U+10FFFF are not well-formed).
std::size_t decodeUtf8(std::string_view s, std::size_t i, char32_t& cp);

}  // namespace tav
