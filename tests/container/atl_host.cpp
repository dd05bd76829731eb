// Hosting a control in Wine's ATL AtlAxWin window.
#include "atl_host.h"

#include <cstdio>
#include "hresult_text.h"
#include "message_pump.h"

namespace tc {
namespace {

using AtlAxWinInitFn = BOOL(WINAPI*)();
using AtlAxGetControlFn = HRESULT(WINAPI*)(HWND, IUnknown**);

struct AtlModule {
    HMODULE module = nullptr;
    const char* name = nullptr;
    const wchar_t* windowClass = nullptr;
    AtlAxWinInitFn init = nullptr;
    AtlAxGetControlFn getControl = nullptr;
    bool initialized = false;  // AtlAxWinInit succeeded
};

// Loaded and initialised once, and kept for the life of the process: the window class that
// AtlAxWinInit registers points into the module, so unloading it would leave the class
// pointing nowhere, and a second AtlAxWinInit fails because the class already exists.
const AtlModule& LoadAtl() {
    static const AtlModule atl = [] {
        const struct { const char* dll; const wchar_t* windowClass; } candidates[] = {
            {"atl.dll", L"AtlAxWin"}, {"atl100.dll", L"AtlAxWin100"}};
        AtlModule found;
        for (const auto& candidate : candidates) {
            HMODULE module = LoadLibraryA(candidate.dll);
            if (!module) continue;
            found.module = module;
            found.name = candidate.dll;
            found.windowClass = candidate.windowClass;
            found.init = reinterpret_cast<AtlAxWinInitFn>(
                reinterpret_cast<void*>(GetProcAddress(module, "AtlAxWinInit")));
            found.getControl = reinterpret_cast<AtlAxGetControlFn>(
                reinterpret_cast<void*>(GetProcAddress(module, "AtlAxGetControl")));
            if (found.init && found.getControl) {
                found.initialized = found.init() != FALSE;
                break;
            }
        }
        return found;
    }();
    return atl;
}

const wchar_t kHostFrameClass[] = L"PortlexAtlHostFrame";

void RegisterHostFrameClass() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExW(GetModuleHandleW(nullptr), kHostFrameClass, &wc)) return;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kHostFrameClass;
    RegisterClassExW(&wc);
}

}  // namespace

HRESULT AtlHost::Fail(const std::string& step, HRESULT hr) {
    lastError_ = step + " failed: " + HresultText(hr);
    std::fprintf(stderr, "atl_host: %s\n", lastError_.c_str());
    Destroy();
    return hr;
}

HRESULT AtlHost::Create(const wchar_t* progIdOrClsid, SIZE pixels) {
    Destroy();
    lastError_.clear();
    if (!progIdOrClsid) return Fail("Create (no ProgID)", E_POINTER);
    const AtlModule& atl = LoadAtl();
    if (!atl.module) return Fail("LoadLibrary atl.dll / atl100.dll", HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND));
    if (!atl.init || !atl.getControl)
        return Fail(std::string("GetProcAddress in ") + atl.name, HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND));
    module_ = atl.name;
    if (!atl.initialized) return Fail("AtlAxWinInit", E_FAIL);

    RegisterHostFrameClass();
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE;
    RECT outer{0, 0, pixels.cx, pixels.cy};
    AdjustWindowRectEx(&outer, style, FALSE, 0);
    frame_.Reset(CreateWindowExW(0, kHostFrameClass, L"ATL host", style, 60, 60,
                                 outer.right - outer.left, outer.bottom - outer.top, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr));
    if (!frame_) return Fail("CreateWindowEx (frame)", HRESULT_FROM_WIN32(GetLastError()));

    // AtlAxWin makes the control while it handles WM_CREATE.
    axWindow_ = CreateWindowExW(0, atl.windowClass, progIdOrClsid, WS_CHILD | WS_VISIBLE, 0, 0,
                                pixels.cx, pixels.cy, frame_.Get(), nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    if (!axWindow_) return Fail("CreateWindowEx (AtlAxWin)", HRESULT_FROM_WIN32(GetLastError()));

    HRESULT hr = atl.getControl(axWindow_, control_.ReleaseAndGetAddressOf());
    if (FAILED(hr)) return Fail("AtlAxGetControl", hr);
    if (!control_) return Fail("AtlAxGetControl (no control)", E_FAIL);
    UpdateWindow(frame_.Get());
    return S_OK;
}

void AtlHost::PumpMessages(DWORD ms) { tc::PumpMessages(ms); }

void AtlHost::Destroy() {
    control_.Reset();  // before the window goes, so ATL's release is the last one
    frame_.Reset();    // destroys the AtlAxWin child with it
    axWindow_ = nullptr;
}

}  // namespace tc
