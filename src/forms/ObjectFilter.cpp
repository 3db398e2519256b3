#include "forms/ObjectFilter.h"

#include <ole2.h>

#include <cstring>

#include "desktop/Utf.h"

namespace tav {

namespace {

// {00000315-...}: picture (metafile), {00000316-...}: picture (DIB),
// {00000319-...}: picture (enhanced metafile); the "static" forms a note
// gets when a picture is pasted.
bool isStaticPicture(const CLSID& clsid) {
    static const CLSID kPictures[] = {
        {0x00000315, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}},
        {0x00000316, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}},
        {0x00000319, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}},
        CLSID_StaticMetafile,
        CLSID_StaticDib,
    };
    for (const CLSID& picture : kPictures)
        if (IsEqualCLSID(clsid, picture)) return true;
    return false;
}

std::wstring clsidText(const CLSID& clsid) {
    wchar_t text[40] = {};
    StringFromGUID2(clsid, text, 40);
    return text;
}

// A linked object keeps its link in the "\1Ole" stream: flag bit 0.
bool isLinked(IStorage* storage) {
    if (storage == nullptr) return false;
    IStream* stream = nullptr;
    if (FAILED(storage->OpenStream(L"\1Ole", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0,
                                   &stream)))
        return false;
    DWORD header[2] = {};
    ULONG read = 0;
    const bool linked = SUCCEEDED(stream->Read(header, sizeof header, &read)) &&
                        read == sizeof header && (header[1] & 1u) != 0;
    stream->Release();
    return linked;
}

// The user's classes first, then the machine's: what HKEY_CLASSES_ROOT
// shows, asked for each half, as Wine does not merge the user's half in.
bool classKeyExists(const std::wstring& subkey) {
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(root, (L"Software\\Classes\\" + subkey).c_str(), 0, KEY_READ, &key) ==
            ERROR_SUCCESS) {
            RegCloseKey(key);
            return true;
        }
    }
    return false;
}

// The insert-object dialog lists the classes marked insertable; the
// packager, which wraps any file or command line, never counts.
bool offeredInDialog(const CLSID& clsid) {
    static const CLSID kPackage = {0x0003000C, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    if (IsEqualCLSID(clsid, kPackage) || IsEqualCLSID(clsid, CLSID_NULL)) return false;
    const std::wstring key = L"CLSID\\" + clsidText(clsid);
    return classKeyExists(key + L"\\Insertable") && !classKeyExists(key + L"\\NotInsertable");
}

std::string className(const CLSID& clsid) {
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        wchar_t name[256] = {};
        DWORD size = sizeof name - sizeof name[0];
        if (RegGetValueW(root, (L"Software\\Classes\\CLSID\\" + clsidText(clsid)).c_str(), nullptr,
                         RRF_RT_REG_SZ, nullptr, name, &size) == ERROR_SUCCESS &&
            name[0] != L'\0')
            return narrow(name);
    }
    return narrow(clsidText(clsid));
}

}  // namespace

std::optional<std::string> refusedObject(const CLSID& clsid, IStorage* storage) {
    if (isLinked(storage)) return className(clsid) + " (verknüpft)";
    if (isStaticPicture(clsid) || offeredInDialog(clsid)) return std::nullopt;
    return className(clsid);
}

}  // namespace tav
