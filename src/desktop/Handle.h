#pragma once
// One owning wrapper for the GDI and USER handles the kit creates. Move-only,
// so a handle has exactly one owner and is released exactly once, also when
// a handler throws half way.

#include <windows.h>
// commctrl.h needs the types of windows.h.
#include <commctrl.h>

#include <utility>

namespace tav {

template <class H, class Deleter>
class Handle {
public:
    Handle() = default;
    explicit Handle(H h) : h_(h) {}
    ~Handle() { reset(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    Handle(Handle&& other) noexcept : h_(std::exchange(other.h_, nullptr)) {}
    Handle& operator=(Handle&& other) noexcept {
        if (this != &other) reset(std::exchange(other.h_, nullptr));
        return *this;
    }

    H get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }
    // Gives up ownership, e.g. when the system takes the handle over.
    H release() { return std::exchange(h_, nullptr); }
    void reset(H h = nullptr) {
        if (h_ != nullptr) Deleter{}(h_);
        h_ = h;
    }

private:
    H h_ = nullptr;
};

struct GdiObjectDeleter {
    void operator()(HGDIOBJ h) const { DeleteObject(h); }
};
struct MenuDeleter {
    void operator()(HMENU h) const { DestroyMenu(h); }
};
struct IconDeleter {
    void operator()(HICON h) const { DestroyIcon(h); }
};
struct ImageListDeleter {
    void operator()(HIMAGELIST h) const { ImageList_Destroy(h); }
};
// A file or another kernel object. CreateFileW's INVALID_HANDLE_VALUE is no
// handle: pass nullptr for it.
struct KernelHandleDeleter {
    void operator()(HANDLE h) const { CloseHandle(h); }
};

using FontHandle = Handle<HFONT, GdiObjectDeleter>;
using BrushHandle = Handle<HBRUSH, GdiObjectDeleter>;
using PenHandle = Handle<HPEN, GdiObjectDeleter>;
using BitmapHandle = Handle<HBITMAP, GdiObjectDeleter>;
using MenuHandle = Handle<HMENU, MenuDeleter>;
using IconHandle = Handle<HICON, IconDeleter>;
using ImageListHandle = Handle<HIMAGELIST, ImageListDeleter>;
using KernelHandle = Handle<HANDLE, KernelHandleDeleter>;

}  // namespace tav
