#include "store/LinkPolicy.h"

#include <algorithm>
#include <array>
#include <optional>

#include "store/Utf8Decode.h"

namespace tav {

namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 0x20) : c; }

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(),
                      [](char a, char b) { return lower(a) == lower(b); });
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

// Characters that make a text read otherwise than it is: controls (a line
// break pushes the rest out of the question), and the invisible format and
// direction marks (a right-to-left override turns "fdp.exe" into "exe.pdf").
bool deceptive(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0xAD || c == 0x061C || c == 0x180E ||
           (c >= 0x200B && c <= 0x200F) || (c >= 0x2028 && c <= 0x202E) ||
           (c >= 0x2060 && c <= 0x206F) || c == 0xFEFF || (c >= 0xFFF9 && c <= 0xFFFB) ||
           (c >= 0xE0000 && c <= 0xE007F);
}

// Ill-formed UTF-8 counts as deceptive too: it shows as something else.
bool plainText(std::string_view s) {
    char32_t c;
    for (std::size_t i = 0, n; i < s.size(); i += n) {
        if ((n = decodeUtf8(s, i, c)) == 0 || deceptive(c)) return false;
    }
    return true;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = lower(c);
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::string percentDecoded(std::string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() && hexValue(s[i + 1]) >= 0 &&
            hexValue(s[i + 2]) >= 0) {
            out += static_cast<char>(hexValue(s[i + 1]) * 16 + hexValue(s[i + 2]));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

bool isLetter(char c) { return (lower(c) >= 'a' && lower(c) <= 'z'); }

// "file:///C:/Briefe/Mai%202024.rtf" -> "C:\Briefe\Mai 2024.rtf",
// "file://server/share/x" -> "\\server\share\x". Only a full path with a
// drive or a server and share: anything else (a bare name found on the
// search path, "shell:startup", "search-ms:...", a device path) is no file
// the user can see in the question.
std::optional<std::string> pathOfFileLink(std::string_view afterScheme) {
    std::string path = percentDecoded(afterScheme);
    if (!plainText(path)) return std::nullopt;
    std::replace(path.begin(), path.end(), '/', '\\');
    std::size_t slashes = 0;
    while (slashes < path.size() && path[slashes] == '\\') ++slashes;
    std::string rest = path.substr(slashes);
    const bool drive = rest.size() >= 3 && isLetter(rest[0]) && (rest[1] == ':' || rest[1] == '|') &&
                       rest[2] == '\\';
    if (drive) {
        rest[1] = ':';
    } else if (slashes == 2 || slashes == 4) {  // file://server/... or file:////server/...
        const auto afterServer = rest.find('\\');
        const auto server = rest.substr(0, afterServer);
        if (server.empty() || server == "." || server == "?" || afterServer == std::string::npos ||
            afterServer + 1 >= rest.size() || rest[afterServer + 1] == '\\')
            return std::nullopt;
        rest = "\\\\" + rest;
    } else {
        return std::nullopt;
    }
    // A colon past the drive names a stream or a device; the others cannot
    // be in a file name.
    if (rest.find_first_of(":*?\"<>|", 2) != std::string::npos) return std::nullopt;
    return rest;
}

constexpr std::array<std::string_view, 9> kProgramTypes = {"exe", "bat", "cmd", "com", "scr",
                                                           "js",  "vbs", "lnk", "msi"};

// Windows drops dots and blanks at the end of a name, so "x.exe. " runs
// x.exe; a name without a type may be found with one added.
bool isProgram(std::string_view path, const DangerousType& dangerous) {
    while (!path.empty() && (path.back() == '.' || path.back() == ' ')) path.remove_suffix(1);
    const auto name = path.substr(path.rfind('\\') + 1);
    const auto dot = name.rfind('.');
    if (dot == std::string_view::npos) return true;
    std::string type;
    for (char c : name.substr(dot + 1)) type += lower(c);
    if (type.empty()) return true;
    if (std::find(kProgramTypes.begin(), kProgramTypes.end(), type) != kProgramTypes.end())
        return true;
    return dangerous && dangerous(type);
}

LinkDecision decideFile(std::string_view afterScheme, const DangerousType& dangerous) {
    const auto path = pathOfFileLink(afterScheme);
    if (!path) return {};
    LinkDecision d{LinkAction::AskFirst, *path, {}, isProgram(*path, dangerous)};
    const bool remote = path->starts_with("\\\\");
    if (d.showInFolder) {
        d.question =
            "Diese Datei ist ein Programm oder startet eines. Tavelin führt sie nicht aus, "
            "sondern zeigt sie in ihrem Ordner.";
        if (remote) d.question += " Sie liegt auf einem anderen Rechner.";
        d.question += "\r\n\r\nOrdner öffnen?\r\n\r\n" + *path;
    } else if (remote) {
        d.question =
            "Diese Datei liegt auf einem anderen Rechner. Beim Öffnen meldet sich Windows dort "
            "an und gibt Ihren Anmeldenamen preis. Öffnen Sie sie nur, wenn Sie dem Absender "
            "der Notiz vertrauen.\r\n\r\nWollen Sie diese Datei wirklich öffnen?\r\n\r\n" +
            *path;
    } else {
        d.question = "Wollen Sie diese Datei wirklich öffnen?\r\n\r\n" + *path;
    }
    return d;
}

LinkDecision opened(std::string target) { return {LinkAction::Open, std::move(target), {}, false}; }

LinkDecision decideTarget(std::string_view link, const DangerousType& dangerous) {
    if (link.empty() || !plainText(link)) return {};
    for (std::string_view scheme : {"http:", "https:", "mailto:"}) {
        if (startsWithNoCase(link, scheme) && link.size() > scheme.size())
            return opened(std::string(link));
    }
    // Not a scheme the shell knows; it means a mail address.
    if (startsWithNoCase(link, "e-mail:") && link.size() > 7)
        return opened("mailto:" + std::string(link.substr(7)));
    // The control marks "www." addresses as links too.
    if (startsWithNoCase(link, "www.") && link.size() > 4)
        return opened("http://" + std::string(link));
    if (startsWithNoCase(link, "file:")) return decideFile(link.substr(5), dangerous);
    // Older internet schemes start a program of their own: only when asked.
    for (std::string_view scheme : {"ftp:", "news:", "nntp:"}) {
        if (startsWithNoCase(link, scheme) && link.size() > scheme.size())
            return {LinkAction::AskFirst, std::string(link),
                    "Wollen Sie diesen Link wirklich öffnen?\r\n\r\n" + std::string(link), false};
    }
    return {};
}

}  // namespace

LinkDecision decideLink(std::string_view link, std::string_view shown,
                        const DangerousType& dangerous) {
    // A field with a friendly name: HYPERLINK "target" followed by the text.
    constexpr std::string_view kField = "HYPERLINK";
    if (startsWithNoCase(trim(link), kField)) {
        auto rest = trim(trim(link).substr(kField.size()));
        if (!rest.starts_with('"')) return {};
        const auto close = rest.find('"', 1);
        if (close == std::string_view::npos) return {};
        // The instruction is hidden; the reader sees the field's result.
        shown = rest.substr(close + 1);
        link = rest.substr(1, close - 1);
    }
    link = trim(link);
    LinkDecision d = decideTarget(link, dangerous);
    if (d.action == LinkAction::Refuse || trim(shown) == link) return d;
    // What the reader sees is not where the link goes: ask, with the target.
    if (d.action == LinkAction::Open)
        d.question = "Der Link führt nicht dorthin, wo sein Text es zeigt. Er führt zu:\r\n\r\n" +
                     d.target + "\r\n\r\nWollen Sie ihn wirklich öffnen?";
    else
        d.question = "Der Link führt nicht dorthin, wo sein Text es zeigt.\r\n\r\n" + d.question;
    d.action = LinkAction::AskFirst;
    return d;
}

}  // namespace tav
