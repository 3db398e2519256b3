#include "RemoteMenu.h"

#include <tlhelp32.h>

#include <cstring>
#include <memory>
#include <stdexcept>

namespace tav::e2e {
namespace {

constexpr int kMaxItems = 64;
constexpr int kMaxText = 160;

// Shared with the thread in the program; plain data only.
struct Request {
    decltype(&GetMenuItemCount) getCount;
    decltype(&GetMenuStringW) getString;
    decltype(&GetMenuState) getState;
    decltype(&GetSubMenu) getSubMenu;
    HMENU menu;
    int count;
    UINT states[kMaxItems];
    HMENU subMenus[kMaxItems];
    wchar_t texts[kMaxItems][kMaxText];
};

// Runs in the program, copied there byte for byte: it must not touch
// anything but its argument (no globals, no literals, no library calls), so
// it is compiled without optimisation and stack protection, whatever the
// build type says.
extern "C" __attribute__((noinline, optimize("O0"), no_stack_protector)) DWORD WINAPI
remoteMenuReader(LPVOID parameter) {
    Request* r = static_cast<Request*>(parameter);
    int n = r->getCount(r->menu);
    if (n > kMaxItems) n = kMaxItems;
    r->count = n;
    for (int i = 0; i < n; i++) {
        r->states[i] = r->getState(r->menu, i, MF_BYPOSITION);
        r->subMenus[i] = r->getSubMenu(r->menu, i);
        r->getString(r->menu, i, r->texts[i], kMaxText, MF_BYPOSITION);
    }
    return 1;
}

// Marks the end of remoteMenuReader when the compiler keeps source order.
extern "C" __attribute__((noinline, optimize("O0"))) void remoteMenuReaderEnd() {}

struct HandleCloser {
    void operator()(HANDLE h) const {
        if (h) CloseHandle(h);
    }
};
using Handle = std::unique_ptr<void, HandleCloser>;

struct RemoteMemory {
    HANDLE process;
    void* address;
    ~RemoteMemory() {
        if (address) VirtualFreeEx(process, address, 0, MEM_RELEASE);
    }
};

BYTE* moduleBaseIn(DWORD pid, const wchar_t* name) {
    Handle snap(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE | TH32CS_SNAPMODULE32, pid));
    if (snap.get() == INVALID_HANDLE_VALUE) return nullptr;
    MODULEENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL ok = Module32FirstW(snap.get(), &entry); ok; ok = Module32NextW(snap.get(), &entry)) {
        if (lstrcmpiW(entry.szModule, name) == 0) return entry.modBaseAddr;
    }
    return nullptr;
}

template <class F>
F relocate(F local, BYTE* localBase, BYTE* remoteBase) {
    return reinterpret_cast<F>(remoteBase + (reinterpret_cast<BYTE*>(local) - localBase));
}

}  // namespace

std::vector<RemoteMenuItem> readRemoteMenu(DWORD pid, HMENU menu) {
    Handle process(OpenProcess(PROCESS_CREATE_THREAD | PROCESS_QUERY_INFORMATION |
                                   PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE,
                               FALSE, pid));
    if (!process) throw std::runtime_error("cannot open the program's process");

    auto* localUser32 = reinterpret_cast<BYTE*>(GetModuleHandleW(L"user32.dll"));
    BYTE* remoteUser32 = moduleBaseIn(pid, L"user32.dll");
    if (!localUser32 || !remoteUser32) throw std::runtime_error("user32 not found in the program");

    auto request = std::make_unique<Request>();
    std::memset(request.get(), 0, sizeof(Request));
    request->getCount = relocate(&GetMenuItemCount, localUser32, remoteUser32);
    request->getString = relocate(&GetMenuStringW, localUser32, remoteUser32);
    request->getState = relocate(&GetMenuState, localUser32, remoteUser32);
    request->getSubMenu = relocate(&GetSubMenu, localUser32, remoteUser32);
    request->menu = menu;

    const auto* codeStart = reinterpret_cast<const BYTE*>(&remoteMenuReader);
    const auto* codeEnd = reinterpret_cast<const BYTE*>(&remoteMenuReaderEnd);
    SIZE_T codeSize =
        codeEnd > codeStart && codeEnd - codeStart < 4096 ? codeEnd - codeStart : 2048;

    RemoteMemory code{process.get(),
                      VirtualAllocEx(process.get(), nullptr, 4096, MEM_COMMIT | MEM_RESERVE,
                                     PAGE_EXECUTE_READWRITE)};
    RemoteMemory data{process.get(), VirtualAllocEx(process.get(), nullptr, sizeof(Request),
                                                    MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)};
    if (!code.address || !data.address) throw std::runtime_error("no memory in the program");
    SIZE_T written = 0;
    if (!WriteProcessMemory(process.get(), code.address, codeStart, codeSize, &written) ||
        !WriteProcessMemory(process.get(), data.address, request.get(), sizeof(Request),
                            &written)) {
        throw std::runtime_error("cannot write into the program");
    }
    Handle thread(CreateRemoteThread(process.get(), nullptr, 0,
                                     reinterpret_cast<LPTHREAD_START_ROUTINE>(code.address),
                                     data.address, 0, nullptr));
    if (!thread) throw std::runtime_error("cannot start the menu reader in the program");
    if (WaitForSingleObject(thread.get(), 20000) != WAIT_OBJECT_0) {
        // The thread may still use the memory; leaking it beats a crash.
        code.address = data.address = nullptr;
        throw std::runtime_error("menu reader did not finish");
    }
    DWORD exitCode = 0;
    GetExitCodeThread(thread.get(), &exitCode);
    SIZE_T read = 0;
    if (exitCode != 1 ||
        !ReadProcessMemory(process.get(), data.address, request.get(), sizeof(Request), &read)) {
        throw std::runtime_error("menu reader failed");
    }
    if (request->count < 0) throw std::runtime_error("not a menu handle");

    std::vector<RemoteMenuItem> items;
    for (int i = 0; i < request->count; i++) {
        request->texts[i][kMaxText - 1] = L'\0';
        items.push_back({request->texts[i], request->states[i], request->subMenus[i]});
    }
    return items;
}

}  // namespace tav::e2e
