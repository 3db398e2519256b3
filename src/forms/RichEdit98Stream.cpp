#include "forms/RichEdit98.h"

#include <richedit.h>

#include <optional>
#include <stdexcept>
#include <string_view>

#include "store/FileIo.h"

namespace tav {
namespace {

struct StreamCursor {
    const std::string* in = nullptr;
    size_t offset = 0;
    std::string* out = nullptr;
};

DWORD CALLBACK readChunk(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done) {
    auto* cursor = reinterpret_cast<StreamCursor*>(cookie);
    const size_t left = cursor->in->size() - cursor->offset;
    const size_t count = left < static_cast<size_t>(size) ? left : static_cast<size_t>(size);
    cursor->in->copy(reinterpret_cast<char*>(buffer), count, cursor->offset);
    cursor->offset += count;
    *done = static_cast<LONG>(count);
    return 0;
}

DWORD CALLBACK writeChunk(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done) {
    auto* cursor = reinterpret_cast<StreamCursor*>(cookie);
    cursor->out->append(reinterpret_cast<const char*>(buffer), static_cast<size_t>(size));
    *done = size;
    return 0;
}

}  // namespace

void RichEdit98::loadFromFile(const std::string& path) {
    const std::optional<std::string> bytes = readWholeFile(path);
    if (!bytes)
        throw FileError("Die Datei " + path +
                        " kann nicht ge\xC3\xB6"
                        "ffnet werden.");
    load(*bytes);
}

void RichEdit98::load(const std::string& content) {
    // What was read, even in part, is no change by the user.
    struct Unmodified {
        HWND hwnd;
        ~Unmodified() { SendMessageW(hwnd, EM_SETMODIFY, FALSE, 0); }
    } unmodified{hwnd_};
    // Drawn once when all is in, not piece by piece as it comes.
    SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
    struct Redraw {
        HWND hwnd;
        ~Redraw() {
            SendMessageW(hwnd, WM_SETREDRAW, TRUE, 0);
            InvalidateRect(hwnd, nullptr, TRUE);
        }
    } redraw{hwnd_};
    refusedObjects_.clear();
    if (content.starts_with("{\\rtf")) {
        judgeObjectsWhileReading(true);
        struct Judged {
            RichEdit98& edit;
            ~Judged() { edit.judgeObjectsWhileReading(false); }
        } judged{*this};
        setRtf(content);
    } else {
        setPlainText(content);
    }
}

bool RichEdit98::modified() const { return SendMessageW(hwnd_, EM_GETMODIFY, 0, 0) != 0; }

void RichEdit98::saveToFile(const std::string& path) { writeFileAtomically(path, rtf()); }

std::string RichEdit98::rtf() {
    std::string out;
    StreamCursor cursor;
    cursor.out = &out;
    EDITSTREAM stream = {};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&cursor);
    stream.pfnCallback = &writeChunk;
    SendMessageW(hwnd_, EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    // Wine's stream ends in "}\0"; a NUL has no business in an RTF file.
    while (!out.empty() && out.back() == '\0') out.pop_back();
    // A stream that stopped half way (Wine stops at some pictures) must not
    // replace a good note file.
    size_t end = out.find_last_not_of(" \r\n");
    if (stream.dwError != 0 || end == std::string::npos || out[end] != '}')
        throw std::runtime_error("Der Notiztext konnte nicht vollst\xC3\xA4ndig gelesen werden.");
    return out;
}

void RichEdit98::setRtf(const std::string& rtfText) {
    // Loading is not the user moving the caret: no selection events.
    const LRESULT mask = SendMessageW(hwnd_, EM_SETEVENTMASK, 0, 0);
    StreamCursor cursor;
    cursor.in = &rtfText;
    EDITSTREAM stream = {};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&cursor);
    stream.pfnCallback = &readChunk;
    SendMessageW(hwnd_, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    SendMessageW(hwnd_, EM_SETEVENTMASK, 0, mask);
    textChanged();
    if (stream.dwError != 0) throw std::runtime_error("Der Notiztext konnte nicht geladen werden.");
}

// Plain text as Windows editors save it: UTF-16 or UTF-8 when the file is
// marked so, UTF-8 when it is valid UTF-8, else the system's code page, as
// the control itself reads plain text.
void RichEdit98::setPlainText(const std::string& bytes) {
    std::string utf16;
    auto fromCodePage = [&](UINT codePage, std::string_view text, DWORD flags) {
        const int n = MultiByteToWideChar(codePage, flags, text.data(),
                                          static_cast<int>(text.size()), nullptr, 0);
        if (n <= 0) return false;
        utf16.resize(static_cast<size_t>(n) * sizeof(wchar_t));
        MultiByteToWideChar(codePage, flags, text.data(), static_cast<int>(text.size()),
                            reinterpret_cast<wchar_t*>(utf16.data()), n);
        return true;
    };
    const std::string_view text = bytes;
    if (text.starts_with("\xFF\xFE")) {
        utf16 = bytes.substr(2);
    } else if (text.starts_with("\xFE\xFF")) {
        for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
            utf16 += bytes[i + 1];
            utf16 += bytes[i];
        }
    } else if (text.starts_with("\xEF\xBB\xBF")) {
        fromCodePage(CP_UTF8, text.substr(3), 0);
    } else if (!fromCodePage(CP_UTF8, text, MB_ERR_INVALID_CHARS)) {
        fromCodePage(CP_ACP, text, 0);
    }
    utf16.resize(utf16.size() / 2 * 2);
    const LRESULT mask = SendMessageW(hwnd_, EM_SETEVENTMASK, 0, 0);
    StreamCursor cursor;
    cursor.in = &utf16;
    EDITSTREAM stream = {};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&cursor);
    stream.pfnCallback = &readChunk;
    SendMessageW(hwnd_, EM_STREAMIN, SF_TEXT | SF_UNICODE, reinterpret_cast<LPARAM>(&stream));
    SendMessageW(hwnd_, EM_SETEVENTMASK, 0, mask);
    textChanged();
    if (stream.dwError != 0) throw std::runtime_error("Der Notiztext konnte nicht geladen werden.");
}

}  // namespace tav
