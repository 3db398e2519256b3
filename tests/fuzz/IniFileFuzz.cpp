// The settings file against whatever a disk may hold and whatever a user
// may type: the input is the file as found, then a run of operations on it.
// Every value written reads back as written (by the reader's rules), before
// and after the file is saved and opened again; an erased section is gone;
// whatever else the file held reads the same after every write and save.

#include <fuzzer/FuzzedDataProvider.h>

#include <cctype>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "FuzzScratch.h"
#include "store/FileIo.h"
#include "store/IniFile.h"

namespace tav {
namespace {

const std::string& scratchIni() {
    static const std::string path = fuzz::scratchFile("Tavelin.ini");
    return path;
}

void fail(const char* what, const std::string& detail = {}) {
    std::fprintf(stderr, "RULE BROKEN: %s %s\n", what, detail.c_str());
    std::abort();
}

// The names are the program's, in any case: values are what the user types.
const char* const kSections[] = {"Settings", "Notiz1", "notiz1", "NOTIZ2", "Eigenes", "a"};
const char* const kKeys[] = {"active", "Active", "NotizTitel", "NormPos(1024x768)", "x", "Y"};

std::string fold(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

void appendUtf8(std::string& out, char32_t cp) {
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

// Text as the program hands it over: well-formed UTF-8, anything in it,
// line breaks, quotes and blanks included; now and then longer than the
// reader gives back.
std::string typedValue(FuzzedDataProvider& in) {
    std::string value;
    const int length = in.ConsumeIntegralInRange(0, 24);
    for (int i = 0; i < length; ++i) {
        const auto b = in.ConsumeIntegral<std::uint8_t>();
        if (b < 0x80) {
            value += static_cast<char>(b);
        } else if (b < 0xE0) {
            appendUtf8(value, 0x80 + (b - 0x80));  // Latin-1 and the C1 range
        } else {
            char32_t cp = in.ConsumeIntegralInRange<char32_t>(0x100, 0x10FFFF);
            if (cp >= 0xD800 && cp <= 0xDFFF) cp = 0x20AC;
            appendUtf8(value, cp);
        }
    }
    if (in.ConsumeIntegralInRange(0, 63) == 0) {
        std::string longer;
        while (longer.size() < 2100 && !value.empty()) longer += value;
        value = longer;
    }
    return value;
}

// What the reader gives back for a written value: line breaks became blanks,
// blanks and tabs around it go, one pair of matching quotes goes, and no more
// than 2047 characters come back.
std::string readBack(std::string value) {
    for (char& c : value) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    const auto first = value.find_first_not_of(" \t");
    value = first == std::string::npos
                ? std::string()
                : value.substr(first, value.find_last_not_of(" \t") - first + 1);
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
        value = value.substr(1, value.size() - 2);
    std::size_t end = 0;
    for (std::size_t chars = 0; end < value.size() && chars < 2047; ++chars) {
        do ++end;
        while (end < value.size() && (static_cast<unsigned char>(value[end]) & 0xC0) == 0x80);
    }
    value.resize(end);
    return value;
}

using Name = std::pair<std::string, std::string>;  // folded section and key

struct Expected {
    std::map<Name, std::string> values;                // what must read back
    std::map<std::string, bool> erased;                // folded section: gone
    std::map<Name, std::optional<std::string>> found;  // the file's own, as first read
};

void checkAll(const IniFile& ini, const Expected& expected, const char* when) {
    for (const auto& [name, value] : expected.values) {
        const auto got = ini.readString(name.first, name.second, "\x01");
        if (got != value)
            fail(when, name.first + "/" + name.second + " = [" + got + "] not [" + value + "]");
    }
    for (const auto& [section, gone] : expected.erased) {
        if (gone && ini.sectionExists(section)) fail(when, "erased section back: " + section);
    }
    for (const auto& [name, value] : expected.found) {
        const bool there = ini.valueExists(name.first, name.second);
        if (there != value.has_value() ||
            (value && ini.readString(name.first, name.second, "") != *value))
            fail(when, "the file's own value changed: " + name.first + "/" + name.second);
    }
}

}  // namespace
}  // namespace tav

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tav;
    FuzzedDataProvider in(data, size);
    const std::string path = scratchIni();
    tav::deleteFile(path);
    const std::string found = in.ConsumeRandomLengthString(2048);
    if (!found.empty()) tav::writeFileAtomically(path, found);

    Expected expected;
    auto ini = std::make_unique<IniFile>(path);
    for (int step = 0; step < 16 && in.remaining_bytes() > 0; ++step) {
        const std::string section = in.PickValueInArray(kSections);
        const std::string key = in.PickValueInArray(kKeys);
        const Name name{fold(section), fold(key)};
        switch (in.ConsumeIntegralInRange(0, 4)) {
            case 0: {  // write
                const std::string value = typedValue(in);
                ini->writeString(section, key, value);
                expected.values[name] = readBack(value);
                if (ini->readString(section, key, "\x01") != expected.values[name])
                    fail("written", section + "/" + key + " = [" + value + "]");
                expected.erased[name.first] = false;
                expected.found.erase(name);
                break;
            }
            case 1: {  // write a number
                const int number = in.ConsumeIntegral<int>();
                ini->writeInteger(section, key, number);
                if (ini->readInteger(section, key, ~number) != number)
                    fail("number written", std::to_string(number));
                expected.values[name] = std::to_string(number);
                expected.erased[name.first] = false;
                expected.found.erase(name);
                break;
            }
            case 2:  // erase
                ini->eraseSection(section);
                std::erase_if(expected.values,
                              [&](const auto& e) { return e.first.first == name.first; });
                std::erase_if(expected.found,
                              [&](const auto& e) { return e.first.first == name.first; });
                expected.erased[name.first] = true;
                break;
            case 3: {  // read what the file had
                if (expected.values.count(name) || expected.erased[name.first]) break;
                if (!expected.found.count(name)) {
                    expected.found[name] = ini->valueExists(section, key)
                                               ? std::optional(ini->readString(section, key, ""))
                                               : std::nullopt;
                }
                break;
            }
            case 4:  // save, and open the file afresh
                ini->close();
                ini = std::make_unique<IniFile>(path);
                checkAll(*ini, expected, "after saving");
                break;
        }
    }
    checkAll(*ini, expected, "in memory");
    ini->close();
    ini = std::make_unique<IniFile>(path);
    checkAll(*ini, expected, "at the end");
    return 0;
}
