#include "store/IniFile.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <map>
#include <new>
#include <optional>
#include <string_view>

#include "store/FileIo.h"
#include "store/Utf8Decode.h"

namespace tav {

enum class TextEncoding { Cp1252, Utf8, Utf8Bom, Utf16Le, Utf16Be };

struct IniLine {
    std::string text;  // UTF-8, without its line end
    // The line's bytes as they were read, without the line end; empty for a
    // line written since. A line the program never changed goes back to the
    // disk byte for byte, even where its text could not be decoded cleanly.
    std::string raw;
};

struct IniDocument {
    std::string key;                               // in the registry
    TextEncoding encoding = TextEncoding::Cp1252;  // what the next write uses
    TextEncoding readAs = TextEncoding::Cp1252;    // what the raw bytes are in
    std::vector<IniLine> lines;
    bool dirty = false;
    int holds = 0;  // IniWriteHolds alive: writes wait for the last one
};

namespace {

constexpr std::size_t kMaxValueChars = 2047;
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";

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

}  // namespace

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

namespace {

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

char32_t utf16Unit(std::string_view s, std::size_t i, bool bigEndian) {
    const auto a = static_cast<unsigned char>(s[i]), b = static_cast<unsigned char>(s[i + 1]);
    return bigEndian ? (a << 8) | b : a | (b << 8);
}

std::string utf16ToUtf8(std::string_view s, bool bigEndian) {
    std::string out;
    auto unit = [&](std::size_t i) { return utf16Unit(s, i, bigEndian); };
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

std::string utf8ToUtf16(std::string_view s, bool bigEndian) {
    std::string out;
    auto put = [&](char32_t u) {
        const char low = static_cast<char>(u & 0xFF), high = static_cast<char>(u >> 8);
        out += bigEndian ? high : low;
        out += bigEndian ? low : high;
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

bool isUtf16(TextEncoding encoding) {
    return encoding == TextEncoding::Utf16Le || encoding == TextEncoding::Utf16Be;
}

// The lines of the file's bytes, without their line ends (CR LF, CR or LF,
// in 16-bit units for UTF-16).
std::vector<std::string> splitLines(std::string_view bytes, TextEncoding encoding) {
    const std::size_t unit = isUtf16(encoding) ? 2 : 1;
    const bool bigEndian = encoding == TextEncoding::Utf16Be;
    auto at = [&](std::size_t i) -> char32_t {
        return unit == 2 ? utf16Unit(bytes, i, bigEndian) : static_cast<unsigned char>(bytes[i]);
    };
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i + unit <= bytes.size(); i += unit) {
        const char32_t c = at(i);
        if (c != '\r' && c != '\n') continue;
        lines.emplace_back(bytes.substr(start, i - start));
        if (c == '\r' && i + 2 * unit <= bytes.size() && at(i + unit) == '\n') i += unit;
        start = i + unit;
    }
    if (start < bytes.size()) lines.emplace_back(bytes.substr(start));
    return lines;
}

std::string decodeText(TextEncoding encoding, std::string_view bytes) {
    switch (encoding) {
        case TextEncoding::Cp1252:
            return cp1252ToUtf8(bytes);
        case TextEncoding::Utf8:
            return std::string(bytes);
        case TextEncoding::Utf8Bom:
            return toValidUtf8(bytes);
        case TextEncoding::Utf16Le:
        case TextEncoding::Utf16Be:
            return utf16ToUtf8(bytes, encoding == TextEncoding::Utf16Be);
    }
    return std::string(bytes);
}

// nullopt: the encoding cannot hold the text.
std::optional<std::string> encodeText(TextEncoding encoding, std::string_view text) {
    switch (encoding) {
        case TextEncoding::Cp1252:
            return utf8ToCp1252(text);
        case TextEncoding::Utf8:
        case TextEncoding::Utf8Bom:
            return std::string(text);
        case TextEncoding::Utf16Le:
        case TextEncoding::Utf16Be:
            return utf8ToUtf16(text, encoding == TextEncoding::Utf16Be);
    }
    return std::string(text);
}

std::string_view byteOrderMark(TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Utf8Bom:
            return kUtf8Bom;
        case TextEncoding::Utf16Le:
            return kUtf16LeBom;
        case TextEncoding::Utf16Be:
            return kUtf16BeBom;
        default:
            return {};
    }
}

bool hasHighByte(std::string_view bytes) {
    return std::any_of(bytes.begin(), bytes.end(), [](char c) { return c & 0x80; });
}

void decode(IniDocument& doc, std::string_view bytes) {
    TextEncoding encoding = TextEncoding::Cp1252;
    if (bytes.starts_with(kUtf16LeBom)) {
        encoding = TextEncoding::Utf16Le;
    } else if (bytes.starts_with(kUtf16BeBom)) {
        encoding = TextEncoding::Utf16Be;
    } else if (bytes.starts_with(kUtf8Bom)) {
        encoding = TextEncoding::Utf8Bom;
    } else if (isValidUtf8(bytes) && hasHighByte(bytes)) {
        // Plain ASCII counts as Windows-1252, so that umlauts written later
        // come out the way German Windows writes them.
        encoding = TextEncoding::Utf8;
    }
    const std::string_view body = bytes.substr(byteOrderMark(encoding).size());
    doc.encoding = doc.readAs = encoding;
    doc.lines.clear();
    for (std::string& raw : splitLines(body, encoding)) {
        std::string text = decodeText(encoding, raw);
        doc.lines.push_back({std::move(text), std::move(raw)});
    }
    if (doc.lines.empty()) return;
    // A mark written twice by some editor must not hide the first section.
    std::string& first = doc.lines.front().text;
    while (first.starts_with(kUtf8Bom)) first.erase(0, kUtf8Bom.size());
    // Half a 16-bit unit cannot be written back after a line end of its own.
    if (isUtf16(encoding) && body.size() % 2 != 0) doc.lines.back().raw.clear();
}

// nullopt: the encoding cannot hold one of the lines.
std::optional<std::string> encodeAs(const IniDocument& doc, TextEncoding encoding) {
    const bool keepRaw = encoding == doc.readAs;
    const std::string lineEnd = *encodeText(encoding, "\r\n");
    std::string out(byteOrderMark(encoding));
    for (const IniLine& line : doc.lines) {
        if (keepRaw && !line.raw.empty()) {
            out += line.raw;
        } else if (auto bytes = encodeText(encoding, line.text)) {
            out += *bytes;
        } else {
            return std::nullopt;
        }
        out += lineEnd;
    }
    return out;
}

std::string encode(IniDocument& doc) {
    if (doc.encoding == TextEncoding::Cp1252) {
        // Windows-1252 bytes that happen to form UTF-8 would be read back as
        // UTF-8 ("Maß…" as "Ma߅"); the mark makes the encoding certain.
        auto bytes = encodeAs(doc, TextEncoding::Cp1252);
        if (bytes && !(hasHighByte(*bytes) && isValidUtf8(*bytes))) return *bytes;
        doc.encoding = TextEncoding::Utf8Bom;
    }
    return *encodeAs(doc, doc.encoding);
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

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Names go into the file as they are wherever the file can hold them, so
// that files of every earlier version keep working. What would break the
// line apart, make it something else or not survive the encoding is written
// as %XX, and so is a '%' that could be read as such an escape. Writers and
// lookups use the same form, so a name always finds what was written under
// it and a second write never adds a copy. Blanks at either end do not count
// in a name, as with the system's own INI functions.
std::string storedName(std::string_view name, bool isKey) {
    if (isKey) name = trim(name);
    std::string out;
    char32_t cp;
    for (std::size_t i = 0, n; i < name.size(); i += n) {
        n = decodeUtf8(name, i, cp);
        const auto b = static_cast<unsigned char>(name[i]);
        const bool escape = n == 0 || b < 0x20 || b == 0x7F ||
                            (b == '%' && i + 2 < name.size() && isHexDigit(name[i + 1]) &&
                             isHexDigit(name[i + 2])) ||
                            (isKey && (b == '=' || (i == 0 && (b == ';' || b == '#' || b == '['))));
        if (!escape) {
            out.append(name.substr(i, n));
            continue;
        }
        n = std::max<std::size_t>(n, 1);
        for (std::size_t k = i; k < i + n; ++k) {
            static constexpr char kHex[] = "0123456789ABCDEF";
            const auto byte = static_cast<unsigned char>(name[k]);
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        }
    }
    return out;
}

std::string storedSection(std::string_view section) { return storedName(section, false); }
std::string storedKey(std::string_view key) { return storedName(key, true); }

// Both names in their stored form.
std::optional<std::size_t> findSection(const IniDocument& doc, std::string_view section) {
    for (std::size_t i = 0; i < doc.lines.size(); ++i) {
        const auto name = sectionName(doc.lines[i].text);
        if (name && sameName(*name, section)) return i;
    }
    return std::nullopt;
}

std::size_t sectionEnd(const IniDocument& doc, std::size_t header) {
    std::size_t i = header + 1;
    while (i < doc.lines.size() && !sectionName(doc.lines[i].text)) ++i;
    return i;
}

std::optional<std::size_t> findKey(const IniDocument& doc, std::string_view section,
                                   std::string_view key) {
    const auto header = findSection(doc, section);
    if (!header) return std::nullopt;
    for (std::size_t i = *header + 1, end = sectionEnd(doc, *header); i < end; ++i) {
        const auto kl = keyLine(doc.lines[i].text);
        if (kl && sameName(kl->key, key)) return i;
    }
    return std::nullopt;
}

// A line break inside a value would split the line on disk and could forge
// keys or sections that were never written.
std::string oneLine(std::string_view s) {
    std::string out = toValidUtf8(s);
    for (char& c : out) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return out;
}

}  // namespace

std::optional<int> parseIniInteger(std::string_view s) {
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

namespace {

std::map<std::string, std::weak_ptr<IniDocument>>& registry() {
    static std::map<std::string, std::weak_ptr<IniDocument>> documents;
    return documents;
}

std::string registryKey(const std::string& path) {
    std::string key = absolutePath(path);
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
        if (auto bytes = readWholeFile(path, kMaxSettingsBytes)) decode(*doc, *bytes);
    } catch (const FileTooLarge& e) {
        registry().erase(key);
        throw IniError(e.what());
    } catch (const FileError&) {
        registry().erase(key);
        throw IniError(path + " kann nicht gelesen werden");
    } catch (const std::bad_alloc&) {
        registry().erase(key);
        throw IniError(noMemoryFor(path).what());
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
    const auto index = findKey(doc, storedSection(section), storedKey(key));
    if (!index) return std::nullopt;
    std::string_view value = keyLine(doc.lines[*index].text)->value;
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
    return parseIniInteger(*text).value_or(def);
}

bool IniFile::readBool(const std::string& section, const std::string& key, bool def) const {
    return readInteger(section, key, def ? 1 : 0) != 0;
}

void IniFile::writeString(const std::string& section, const std::string& key,
                          const std::string& value) {
    auto& doc = document();
    const auto cleanValue = oneLine(value);
    const auto sectionText = storedSection(section);
    const auto keyText = storedKey(key);
    if (const auto index = findKey(doc, sectionText, keyText)) {
        auto& line = doc.lines[*index];
        const auto kl = *keyLine(line.text);
        if (kl.value == cleanValue) return;
        line = {std::string(kl.key) + "=" + cleanValue, {}};
    } else if (const auto header = findSection(doc, sectionText)) {
        std::size_t at = *header + 1;
        for (std::size_t i = at, end = sectionEnd(doc, *header); i < end; ++i) {
            if (keyLine(doc.lines[i].text)) at = i + 1;
        }
        doc.lines.insert(doc.lines.begin() + at, {keyText + "=" + cleanValue, {}});
    } else {
        if (!doc.lines.empty() && !trim(doc.lines.back().text).empty()) doc.lines.emplace_back();
        doc.lines.push_back({"[" + sectionText + "]", {}});
        doc.lines.push_back({keyText + "=" + cleanValue, {}});
    }
    doc.dirty = true;
}

void IniFile::writeInteger(const std::string& section, const std::string& key, int value) {
    writeString(section, key, std::to_string(value));
}

void IniFile::writeBool(const std::string& section, const std::string& key, bool value) {
    writeString(section, key, value ? "1" : "0");
}

namespace {

// Drops, in one pass over the document, every line for which drop(inSection,
// line) holds, where inSection tells whether the line lies in a section of
// the given name. One pass, as a file with a million copies of one section
// would otherwise take hours to clean up at start.
template <typename Drop>
void dropLines(IniDocument& doc, std::string_view section, Drop drop) {
    bool inSection = false;
    const auto kept = std::remove_if(doc.lines.begin(), doc.lines.end(), [&](const IniLine& line) {
        if (const auto name = sectionName(line.text)) inSection = sameName(*name, section);
        return drop(inSection, line);
    });
    if (kept == doc.lines.end()) return;
    doc.lines.erase(kept, doc.lines.end());
    doc.dirty = true;
}

}  // namespace

void IniFile::eraseSection(const std::string& section) {
    // Every copy goes: erasing only the first would bring a stale duplicate
    // back to life.
    dropLines(document(), storedSection(section),
              [](bool inSection, const IniLine&) { return inSection; });
}

void IniFile::deleteKey(const std::string& section, const std::string& key) {
    const auto keyText = storedKey(key);
    dropLines(document(), storedSection(section), [&](bool inSection, const IniLine& line) {
        if (!inSection) return false;
        const auto kl = keyLine(line.text);
        return kl && sameName(kl->key, keyText);
    });
}

bool IniFile::sectionExists(const std::string& section) const {
    return findSection(document(), storedSection(section)).has_value();
}

bool IniFile::valueExists(const std::string& section, const std::string& key) const {
    return findKey(document(), storedSection(section), storedKey(key)).has_value();
}

void IniFile::updateFile() {
    auto& doc = document();
    if (!doc.dirty || doc.holds > 0) return;
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

IniWriteHold::IniWriteHold(const std::string& path) : file_(path) { ++file_.document().holds; }

IniWriteHold::~IniWriteHold() { end(); }

void IniWriteHold::end() {
    if (held_) --file_.document().holds;
    held_ = false;
}

void IniWriteHold::commit() {
    end();
    file_.close();
}

}  // namespace tav
