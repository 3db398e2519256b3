#pragma once
// UTF-8 <-> UTF-16 for the desktop services until the form kit's Utf.h is in
// place; the services then switch to it and this header goes away.

#include <string>
#include <string_view>

namespace tav::svc {

std::wstring toWide(std::string_view utf8Text);
std::string toUtf8(std::wstring_view wideText);

}  // namespace tav::svc
