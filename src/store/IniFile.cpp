#include "store/IniFile.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <map>
#include <optional>
#include <string_view>

#include "store/FileIo.h"

namespace tav {

enum class TextEncoding { Cp1252, Utf8, Utf8Bom, Utf16Le };

struct IniDocument {
    std::string key;  // in the registry
    TextEncoding encoding = TextEncoding::Cp1252;
    std::vector<std::string> lines;  // UTF-8, without line ends
    bool dirty = false;
};

namespace {

constexpr std::size_t kMaxValueChars = 2047;
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";

// 0x80-0x9F of Windows-1252. The five holes map to the C1 controls, as
// Windows itself does, so that such bytes survive a round trip.
constexpr std::array<char32_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t cp1252ToCodePoint(unsigned char b) {
    return (b >= 0x80 && b < 0xA0) ? kCp1252High[b - 0x80] : b;
}

std::optional<char> codePointToCp1252(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
    for (std::size_t i = 0; i < kCp1252High.size(); ++i) {
        if (kCp1252High[i] == cp) return static_cast<char>(0x80 + i);
    }
    return std::nullopt;
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

// Length of the well-formed UTF-8 sequence at s[i], 0 when there is none
// (overlong forms, surrogates and values above U+10FFFF are not well-formed).
std::size_t decodeUtf8(std::string_view s, std::size_t i, char32_t& cp) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    std::size_t len;
    char32_t min;
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    } else if ((b0 & 0xE0) == 0xC0) {
        len = 2, min = 0x80, cp = b0 & 0x1F;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3, min = 0x800, cp = b0 & 0x0F;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4, min = 0x10000, cp = b0 & 0x07;
    } else {
        return 0;
    }
    if (s.size() - i < len) return 0;
    for (std::size_t k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

bool isValidUtf8(std::string_view s) {
    char32_t cp;
    for (std::size_t i = 0, n; i < s.size(); i += n) {
        if ((n = decodeUtf8(s, i, cp)) == 0) return false;
    }
    return true;
}

// UTF-8 where it is well-formed; a stray byte is taken as Windows-1252, the
// most likely origin of a stray byte in a German settings file.
std::string toValidUtf8(std::string_view s) {
    if (isValidUtf8(s)) return std::string(s);
    std::string out;
    char32_t cp;
    for (std::size_t i = 0; i < s.size();) {
        if (std::size_t n = decodeUtf8(s, i, cp)) {
            out.append(s.substr(i, n));
            i += n;
        } else {
            appendUtf8(out, cp1252ToCodePoint(static_cast<unsigned char>(s[i++])));
        }
    }
    return out;
}

std::string cp1252ToUtf8(std::string_view s) {
    std::string out;
    for (char c : s) appendUtf8(out, cp1252ToCodePoint(static_cast<unsigned char>(c)));
    return out;
}

std::optional<std::string> utf8ToCp1252(std::string_view s) {
    std::string out;
    char32_t cp;
    for (std::size_t i = 0, n; i < s.size(); i += n) {
        n = decodeUtf8(s, i, cp);
        const auto c = codePointToCp1252(cp);
        if (n == 0 || !c) return std::nullopt;
        out += *c;
    }
    return out;
}

std::string utf16LeToUtf8(std::string_view s) {
    std::string out;
    auto unit = [&](std::size_t i) -> char32_t {
        return static_cast<unsigned char>(s[i]) | (static_cast<unsigned char>(s[i + 1]) << 8);
    };
    for (std::size_t i = 0; i + 1 < s.size(); i += 2) {
        char32_t cp = unit(i);
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 3 < s.size() && unit(i + 2) >= 0xDC00 &&
            unit(i + 2) <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
            i += 2;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        appendUtf8(out, cp);
    }
    if (s.size() % 2 != 0) appendUtf8(out, 0xFFFD);
    return out;
}

std::string utf8ToUtf16Le(std::string_view s) {
    std::string out;
    auto put = [&](char32_t u) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    };
    char32_t cp;
    for (std::size_t i = 0, n; i < s.size(); i += n) {
        if ((n = decodeUtf8(s, i, cp)) == 0) cp = 0xFFFD, n = 1;
        if (cp >= 0x10000) {
            put(0xD800 + ((cp - 0x10000) >> 10));
            put(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            put(cp);
        }
    }
    return out;
}

std::vector<std::string> splitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.emplace_back(text.substr(start));
    return lines;
}

void decode(IniDocument& doc, std::string_view bytes) {
    if (bytes.starts_with(kUtf16LeBom)) {
        doc.encoding = TextEncoding::Utf16Le;
        doc.lines = splitLines(utf16LeToUtf8(bytes.substr(2)));
    } else if (bytes.starts_with(kUtf8Bom)) {
        doc.encoding = TextEncoding::Utf8Bom;
        doc.lines = splitLines(toValidUtf8(bytes.substr(3)));
    } else if (isValidUtf8(bytes) &&
               std::any_of(bytes.begin(), bytes.end(), [](char c) { return c & 0x80; })) {
        // Plain ASCII counts as Windows-1252, so that umlauts written later
        // come out the way German Windows writes them.
        doc.encoding = TextEncoding::Utf8;
        doc.lines = splitLines(bytes);
    } else {
        doc.encoding = TextEncoding::Cp1252;
        doc.lines = splitLines(cp1252ToUtf8(bytes));
    }
}

std::string encode(IniDocument& doc) {
    std::string text;
    for (const auto& line : doc.lines) text += line + "\r\n";
    switch (doc.encoding) {
        case TextEncoding::Cp1252:
            if (auto bytes = utf8ToCp1252(text)) return *bytes;
            doc.encoding = TextEncoding::Utf8Bom;
            return std::string(kUtf8Bom) + text;
        case TextEncoding::Utf8:
            return text;
        case TextEncoding::Utf8Bom:
            return std::string(kUtf8Bom) + text;
        case TextEncoding::Utf16Le:
            return std::string(kUtf16LeBom) + utf8ToUtf16Le(text);
    }
    return text;
}

std::string_view trim(std::string_view s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// Case folding for names: ASCII and the letters that Windows-1252 has in
// both cases, in their UTF-8 form.
std::string foldCase(std::string_view s) {
    std::string out(s);
    for (std::size_t i = 0; i < out.size(); ++i) {
        auto& c = reinterpret_cast<unsigned char&>(out[i]);
        if (c >= 'A' && c <= 'Z') {
            c += 0x20;
        } else if (i + 1 < out.size()) {
            auto& d = reinterpret_cast<unsigned char&>(out[i + 1]);
            if (c == 0xC3 && d >= 0x80 && d <= 0x9E && d != 0x97) {  // À..Þ except ×
                d += 0x20;
            } else if (c == 0xC5 && (d == 0xA0 || d == 0x92 || d == 0xBD)) {  // Š Œ Ž
                d += 1;
            } else if (c == 0xC5 && d == 0xB8) {  // Ÿ -> ÿ
                c = 0xC3, d = 0xBF;
            }
        }
    }
    return out;
}

bool sameName(std::string_view a, std::string_view b) {
    return foldCase(trim(a)) == foldCase(trim(b));
}

std::optional<std::string_view> sectionName(std::string_view line) {
    const auto t = trim(line);
    if (!t.starts_with('[')) return std::nullopt;
    const auto close = t.rfind(']');
    return trim(close == 0 || close == std::string_view::npos ? t.substr(1)
                                                              : t.substr(1, close - 1));
}

struct KeyLine {
    std::string_view key, value;
};

std::optional<KeyLine> keyLine(std::string_view line) {
    const auto t = trim(line);
    if (t.empty() || t[0] == ';' || t[0] == '#' || t[0] == '[') return std::nullopt;
    const auto eq = t.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    return KeyLine{trim(t.substr(0, eq)), trim(t.substr(eq + 1))};
}

std::optional<std::size_t> findSection(const IniDocument& doc, std::string_view section) {
    for (std::size_t i = 0; i < doc.lines.size(); ++i) {
        const auto name = sectionName(doc.lines[i]);
        if (name && sameName(*name, section)) return i;
    }
    return std::nullopt;
}

std::size_t sectionEnd(const IniDocument& doc, std::size_t header) {
    std::size_t i = header + 1;
    while (i < doc.lines.size() && !sectionName(doc.lines[i])) ++i;
    return i;
}

std::optional<std::size_t> findKey(const IniDocument& doc, std::string_view section,
                                   std::string_view key) {
    const auto header = findSection(doc, section);
    if (!header) return std::nullopt;
    for (std::size_t i = *header + 1, end = sectionEnd(doc, *header); i < end; ++i) {
        const auto kl = keyLine(doc.lines[i]);
        if (kl && sameName(kl->key, key)) return i;
    }
    return std::nullopt;
}

// A line break inside a name or value would split the line on disk and could
// forge keys or sections that were never written.
std::string oneLine(std::string_view s) {
    std::string out = toValidUtf8(s);
    for (char& c : out) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return out;
}

std::optional<int> parseInteger(std::string_view s) {
    int base = 10;
    bool negative = false;
    if (s.starts_with('$')) {
        base = 16, s.remove_prefix(1);
    } else if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16, s.remove_prefix(2);
    } else if (s.starts_with('+') || s.starts_with('-')) {
        negative = s[0] == '-', s.remove_prefix(1);
    }
    if (s.empty()) return std::nullopt;
    std::uint64_t v = 0;
    for (char c : s) {
        int d = (c >= '0' && c <= '9')   ? c - '0'
                : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                         : 99;
        if (d >= base) return std::nullopt;
        v = v * base + d;
        if (v > 0xFFFFFFFFu) return std::nullopt;
    }
    // Hexadecimal is a 32-bit pattern, as colours are written: $FFFFFFFF is -1.
    if (base == 16) return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
    if (negative) {
        if (v > 0x80000000u) return std::nullopt;
        return static_cast<int>(-static_cast<std::int64_t>(v));
    }
    if (v > static_cast<std::uint64_t>(std::numeric_limits<int>::max())) return std::nullopt;
    return static_cast<int>(v);
}

std::map<std::string, std::weak_ptr<IniDocument>>& registry() {
    static std::map<std::string, std::weak_ptr<IniDocument>> documents;
    return documents;
}

std::string registryKey(const std::string& path) {
    namespace fs = std::filesystem;
    const fs::path given(std::u8string(path.begin(), path.end()));
    std::error_code ec;
    fs::path full = fs::absolute(given, ec);
    if (ec) full = given;
    const auto u8 = full.lexically_normal().u8string();
    std::string key(u8.begin(), u8.end());
#ifdef _WIN32
    key = foldCase(key);  // Windows paths ignore case
#endif
    return key;
}

std::shared_ptr<IniDocument> openDocument(const std::string& path) {
    auto key = registryKey(path);
    auto& slot = registry()[key];
    if (auto doc = slot.lock()) return doc;
    auto doc = std::make_shared<IniDocument>();
    doc->key = key;
    try {
        if (auto bytes = readWholeFile(path)) decode(*doc, *bytes);
    } catch (const FileError&) {
        registry().erase(key);
        throw IniError(path + " kann nicht gelesen werden");
    }
    slot = doc;
    return doc;
}

}  // namespace

IniFile::IniFile(const std::string& path) : path_(path), doc_(openDocument(path)) {}

IniFile::~IniFile() {
    try {
        close();
    } catch (...) {
    }
    release();
}

void IniFile::release() {
    if (!doc_) return;
    const auto key = doc_->key;
    doc_.reset();
    auto& documents = registry();
    if (auto it = documents.find(key); it != documents.end() && it->second.expired()) {
        documents.erase(it);
    }
}

IniDocument& IniFile::document() const {
    // An object used again after close() opens the document afresh.
    if (!doc_) doc_ = openDocument(path_);
    return *doc_;
}

std::optional<std::string> IniFile::lookup(const std::string& section,
                                           const std::string& key) const {
    const auto& doc = document();
    const auto index = findKey(doc, section, key);
    if (!index) return std::nullopt;
    std::string_view value = keyLine(doc.lines[*index])->value;
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0]) {
        value = value.substr(1, value.size() - 2);
    }
    // Count characters, not bytes, and never cut a sequence in two.
    std::size_t pos = 0;
    char32_t cp;
    for (std::size_t chars = 0; pos < value.size() && chars < kMaxValueChars; ++chars) {
        pos += std::max<std::size_t>(1, decodeUtf8(value, pos, cp));
    }
    return std::string(value.substr(0, pos));
}

std::string IniFile::readString(const std::string& section, const std::string& key,
                                const std::string& def) const {
    return lookup(section, key).value_or(def);
}

int IniFile::readInteger(const std::string& section, const std::string& key, int def) const {
    const auto text = lookup(section, key);
    if (!text) return def;
    return parseInteger(*text).value_or(def);
}

bool IniFile::readBool(const std::string& section, const std::string& key, bool def) const {
    return readInteger(section, key, def ? 1 : 0) != 0;
}

void IniFile::writeString(const std::string& section, const std::string& key,
                          const std::string& value) {
    auto& doc = document();
    const auto cleanValue = oneLine(value);
    if (const auto index = findKey(doc, section, key)) {
        auto& line = doc.lines[*index];
        const auto kl = *keyLine(line);
        if (kl.value == cleanValue) return;
        line = std::string(kl.key) + "=" + cleanValue;
    } else if (const auto header = findSection(doc, section)) {
        std::size_t at = *header + 1;
        for (std::size_t i = at, end = sectionEnd(doc, *header); i < end; ++i) {
            if (keyLine(doc.lines[i])) at = i + 1;
        }
        doc.lines.insert(doc.lines.begin() + at, oneLine(trim(key)) + "=" + cleanValue);
    } else {
        if (!doc.lines.empty() && !trim(doc.lines.back()).empty()) doc.lines.emplace_back();
        doc.lines.push_back("[" + oneLine(section) + "]");
        doc.lines.push_back(oneLine(trim(key)) + "=" + cleanValue);
    }
    doc.dirty = true;
}

void IniFile::writeInteger(const std::string& section, const std::string& key, int value) {
    writeString(section, key, std::to_string(value));
}

void IniFile::writeBool(const std::string& section, const std::string& key, bool value) {
    writeString(section, key, value ? "1" : "0");
}

void IniFile::eraseSection(const std::string& section) {
    auto& doc = document();
    // Every copy goes: erasing only the first would bring a stale duplicate
    // back to life.
    while (const auto header = findSection(doc, section)) {
        doc.lines.erase(doc.lines.begin() + *header, doc.lines.begin() + sectionEnd(doc, *header));
        doc.dirty = true;
    }
}

void IniFile::deleteKey(const std::string& section, const std::string& key) {
    auto& doc = document();
    while (const auto index = findKey(doc, section, key)) {
        doc.lines.erase(doc.lines.begin() + *index);
        doc.dirty = true;
    }
}

bool IniFile::sectionExists(const std::string& section) const {
    return findSection(document(), section).has_value();
}

bool IniFile::valueExists(const std::string& section, const std::string& key) const {
    return findKey(document(), section, key).has_value();
}

void IniFile::updateFile() {
    auto& doc = document();
    if (!doc.dirty) return;
    try {
        writeFileAtomically(path_, encode(doc));
    } catch (const FileError&) {
        // Stays dirty: a later flush or close tries again.
        throw IniError("nach " + path_ + " kann nicht geschrieben werden");
    }
    doc.dirty = false;
}

void IniFile::close() {
    if (!doc_) return;
    updateFile();
    release();
}

}  // namespace tav
