#pragma once
// The kit's one place where UTF-8 (the program's strings) meets UTF-16 (the
// W APIs). Invalid input never throws: a bad byte or a lone surrogate becomes
// U+FFFD, because these run inside error paths too (the error box).

#include <string>

namespace tav {

std::wstring widen(const std::string& utf8);
std::string narrow(const std::wstring& utf16);

}  // namespace tav
