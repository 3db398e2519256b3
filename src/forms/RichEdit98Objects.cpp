#include "forms/RichEdit98.h"

#include <ole2.h>
// ole2.h first: these need its types.
#include <oledlg.h>
#include <richedit.h>
#include <richole.h>

#include <string>
#include <utility>
#include <vector>

#include "forms/ObjectFilter.h"

namespace tav {
namespace {

// {00020D03-0000-0000-C000-000000000046}
constexpr IID kIidRichEditOleCallback = {0x00020D03, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

bool runningUnderWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// Makes embedded objects possible at all (the control asks it for storage)
// and keeps them out of in-place activation, which would put a server's
// menus and tool bars into a small note window.
class OleCallback : public IRichEditOleCallback {
public:
    // While the control reads a file, the objects left out are named here.
    std::vector<std::string>* refusedWhileReading = nullptr;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, kIidRichEditOleCallback)) {
            *object = static_cast<IRichEditOleCallback*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG refs = --refs_;
        if (refs == 0) delete this;
        return refs;
    }

    HRESULT STDMETHODCALLTYPE GetNewStorage(LPSTORAGE* storage) override {
        return newStorage(storage);
    }
    HRESULT STDMETHODCALLTYPE GetInPlaceContext(LPOLEINPLACEFRAME*, LPOLEINPLACEUIWINDOW*,
                                                LPOLEINPLACEFRAMEINFO) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ShowContainerUI(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE QueryInsertObject(LPCLSID clsid, LPSTORAGE storage, LONG) override {
        if (refusedWhileReading == nullptr || clsid == nullptr) return S_OK;
        if (auto refused = refusedObject(*clsid, storage)) {
            refusedWhileReading->push_back(std::move(*refused));
            return E_FAIL;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DeleteObject(LPOLEOBJECT) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE QueryAcceptData(LPDATAOBJECT, CLIPFORMAT*, DWORD, BOOL,
                                              HGLOBAL) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetClipboardData(CHARRANGE*, DWORD, LPDATAOBJECT*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetDragDropEffect(BOOL, DWORD, LPDWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetContextMenu(WORD, LPOLEOBJECT, CHARRANGE*, HMENU* menu) override {
        // The adapter shows the note's own menu from WM_CONTEXTMENU instead.
        *menu = nullptr;
        return E_NOTIMPL;
    }

    // Objects live in a compound file in memory; the RTF stream carries them.
    static HRESULT newStorage(IStorage** storage) {
        *storage = nullptr;
        ILockBytes* bytes = nullptr;
        HRESULT result = CreateILockBytesOnHGlobal(nullptr, TRUE, &bytes);
        if (FAILED(result)) return result;
        result = StgCreateDocfileOnILockBytes(
            bytes, STGM_SHARE_EXCLUSIVE | STGM_CREATE | STGM_READWRITE, 0, storage);
        bytes->Release();
        return result;
    }

private:
    virtual ~OleCallback() = default;
    ULONG refs_ = 1;
};

}  // namespace

// Embedded objects need OLE on this thread; counted, so a second control
// or the program's own call does no harm.
void RichEdit98::enableObjects() {
    oleInitialized_ = SUCCEEDED(OleInitialize(nullptr));
    if (!callback_) callback_ = new OleCallback;
}

void RichEdit98::judgeObjectsWhileReading(bool on) {
    if (callback_)
        static_cast<OleCallback*>(callback_)->refusedWhileReading = on ? &refusedObjects_ : nullptr;
}

bool RichEdit98::insertObject(HWND owner) {
    IRichEditOle* richOle = nullptr;
    SendMessageW(hwnd_, EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(&richOle));
    if (!richOle) return false;
    IOleClientSite* site = nullptr;
    IStorage* storage = nullptr;
    IOleObject* object = nullptr;
    bool inserted = false;
    if (SUCCEEDED(richOle->GetClientSite(&site)) && SUCCEEDED(OleCallback::newStorage(&storage))) {
        // The dialog creates the object itself, new or from a file, in our
        // storage. Display as icon stays off: it would need the icon's
        // picture cached by hand.
        const DWORD flags = IOF_SELECTCREATENEW | IOF_CREATENEWOBJECT | IOF_CREATEFILEOBJECT |
                            IOF_DISABLELINK | IOF_DISABLEDISPLAYASICON;
        UINT answer = 0;
        DWORD resultFlags = 0;
        SCODE status = E_FAIL;
        CLSID clsid = CLSID_NULL;
        // The A and W dialogs take the same fields in structures of two types.
        auto run = [&](auto& dialog, auto* file, auto show) {
            dialog.cbStruct = sizeof dialog;
            dialog.dwFlags = flags;
            dialog.hWndOwner = owner;
            dialog.lpszFile = file;
            dialog.cchFile = MAX_PATH;
            dialog.iid = IID_IOleObject;
            dialog.oleRender = OLERENDER_DRAW;
            dialog.lpIOleClientSite = site;
            dialog.lpIStorage = storage;
            dialog.ppvObj = reinterpret_cast<void**>(&object);
            answer = show(&dialog);
            resultFlags = dialog.dwFlags;
            status = dialog.sc;
            clsid = dialog.clsid;
        };
        // Wine's OleUIInsertObjectW is a stub; its A variant is the real dialog.
        if (runningUnderWine()) {
            char file[MAX_PATH] = {};
            OLEUIINSERTOBJECTA dialog = {};
            run(dialog, file, OleUIInsertObjectA);
        } else {
            wchar_t file[MAX_PATH] = {};
            OLEUIINSERTOBJECTW dialog = {};
            run(dialog, file, OleUIInsertObjectW);
        }
        if (answer == OLEUI_OK && SUCCEEDED(status) && object) {
            OleSetContainedObject(object, TRUE);
            REOBJECT reObject = {};
            reObject.cbStruct = sizeof reObject;
            reObject.cp = REO_CP_SELECTION;
            reObject.clsid = clsid;
            reObject.poleobj = object;
            reObject.pstg = storage;
            reObject.polesite = site;
            reObject.dvaspect = DVASPECT_CONTENT;
            reObject.dwFlags = REO_RESIZABLE;
            inserted = SUCCEEDED(richOle->InsertObject(&reObject));
            if (inserted && (resultFlags & IOF_SELECTCREATENEW)) {
                // A new, empty object is edited in its own server window.
                RECT area;
                GetClientRect(hwnd_, &area);
                object->DoVerb(OLEIVERB_SHOW, nullptr, site, 0, hwnd_, &area);
            }
        }
    }
    if (object) object->Release();
    if (storage) storage->Release();
    if (site) site->Release();
    richOle->Release();
    return inserted;
}

}  // namespace tav
