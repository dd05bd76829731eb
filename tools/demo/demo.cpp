// The demo: a window hosting Textpane through Wine's ATL host, with Portlex beside it,
// some text written with IO, a screenshot, a few seconds on screen.
//   portlex_demo.exe [screenshot.bmp] [seconds]
#include <windows.h>
#include <ole2.h>
#include <cstdio>
#include <cwchar>
#include <string>
#include "framework/bstr.h"
#include "framework/com_ptr.h"
#include "framework/handles.h"
#include "screenshot.h"

namespace {

const SIZE kTextpaneSize = {440, 330};
const int kMargin = 8;
const int kIconSize = 32;
const DISPID kDispIo = 1;          // Textpane: IO(Str)
const DISPID kDispVersion = 12;    // Portlex: Version()

using AtlAxWinInitFn = BOOL(WINAPI*)();
using AtlAxGetControlFn = HRESULT(WINAPI*)(HWND, IUnknown**);

struct OleSession {
    HRESULT hr = OleInitialize(nullptr);
    ~OleSession() { if (SUCCEEDED(hr)) OleUninitialize(); }
};

int Fail(const char* what, long code) {
    std::fprintf(stderr, "portlex_demo: %s failed: 0x%08lX\n", what, static_cast<unsigned long>(code));
    return 1;
}

void Pump(DWORD ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= ms) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_ALLINPUT);
    }
}

HRESULT Invoke(IDispatch* object, DISPID id, VARIANT* argument, VARIANT* result) {
    DISPPARAMS params = {argument, nullptr, argument ? 1u : 0u, 0};
    return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result, nullptr, nullptr);
}

HRESULT WriteText(IDispatch* textpane, const std::string& text) {
    fw::Variant argument;
    argument.vt = VT_BSTR;
    argument.bstrVal = fw::Bstr::FromAnsi(text).Detach();
    return Invoke(textpane, kDispIo, &argument, nullptr);
}

fw::ComPtr<IDispatch> HostedControl(AtlAxGetControlFn getControl, HWND axWindow) {
    fw::ComPtr<IUnknown> control;
    fw::ComPtr<IDispatch> dispatch;
    if (axWindow && SUCCEEDED(getControl(axWindow, control.ReleaseAndGetAddressOf())) && control)
        dispatch = control.As<IDispatch>(IID_IDispatch);
    return dispatch;
}

HWND CreateFrame() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"PortlexDemoFrame";
    RegisterClassW(&wc);
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN | WS_VISIBLE;
    RECT outer = {0, 0, kTextpaneSize.cx + kIconSize + 3 * kMargin, kTextpaneSize.cy + 2 * kMargin};
    AdjustWindowRect(&outer, style, FALSE);
    return CreateWindowW(wc.lpszClassName, L"Portlex demo", style, 40, 40, outer.right - outer.left,
                         outer.bottom - outer.top, nullptr, nullptr, wc.hInstance, nullptr);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const wchar_t* shotPath = argc > 1 ? argv[1] : L"demo.bmp";
    const int seconds = argc > 2 ? _wtoi(argv[2]) : 3;

    OleSession ole;
    if (FAILED(ole.hr)) return Fail("OleInitialize", ole.hr);
    // Kept loaded to the end: the window class AtlAxWinInit registers lives in it.
    fw::UniqueModule atl(LoadLibraryA("atl.dll"));
    if (!atl) return Fail("LoadLibrary(atl.dll)", GetLastError());
    auto init = reinterpret_cast<AtlAxWinInitFn>(reinterpret_cast<void*>(GetProcAddress(atl.Get(), "AtlAxWinInit")));
    auto getControl =
        reinterpret_cast<AtlAxGetControlFn>(reinterpret_cast<void*>(GetProcAddress(atl.Get(), "AtlAxGetControl")));
    if (!init || !getControl || !init()) return Fail("AtlAxWinInit", GetLastError());

    fw::UniqueWindow frame(CreateFrame());
    if (!frame) return Fail("CreateWindow (frame)", GetLastError());
    // AtlAxWin creates the control named by its window text while it is created itself.
    HWND textpaneHost = CreateWindowW(L"AtlAxWin", L"Textpane.TextpaneCtrl.10", WS_CHILD | WS_VISIBLE, kMargin,
                                      kMargin, kTextpaneSize.cx, kTextpaneSize.cy, frame.Get(), nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
    HWND portlexHost = CreateWindowW(L"AtlAxWin", L"PORTLEX.PortlexCtrl.1", WS_CHILD | WS_VISIBLE,
                                     2 * kMargin + kTextpaneSize.cx, kMargin, kIconSize, kIconSize, frame.Get(),
                                     nullptr, GetModuleHandleW(nullptr), nullptr);
    fw::ComPtr<IDispatch> textpane = HostedControl(getControl, textpaneHost);
    fw::ComPtr<IDispatch> portlex = HostedControl(getControl, portlexHost);
    if (!textpane) return Fail("hosting Textpane.TextpaneCtrl.10 (is it registered?)", E_FAIL);
    if (!portlex) return Fail("hosting PORTLEX.PortlexCtrl.1 (is it registered?)", E_FAIL);
    Pump(200);

    fw::Variant version;
    HRESULT hr = Invoke(portlex.Get(), kDispVersion, nullptr, &version);
    if (FAILED(hr) || version.vt != VT_I4) return Fail("Portlex Version()", hr);
    char versionText[64];
    std::snprintf(versionText, sizeof versionText, "Portlex Version() = %ld (%ld.%ld)\r", version.lVal,
                  version.lVal >> 16, version.lVal & 0xFFFF);

    const std::string lines[] = {
        "Textpane.TextpaneCtrl.10 in Wine's ATL host, written with IO\r",
        versionText,
        "\r",
        "ATZ\r",
        "OK\r",
        "ATDT 0123456789\r",
        "CONNECT 9600\r",
        "login: portlex\r",
        "Rows wrap after 80 characters: " + std::string("0123456789012345678901234567890123456789012345678901234567890123456789") + "\r",
        "Last line",
    };
    for (const std::string& line : lines) {
        if (FAILED(hr = WriteText(textpane.Get(), line))) return Fail("Textpane IO", hr);
    }
    Pump(300);
    if (!demo::SaveClientScreenshot(frame.Get(), shotPath)) return Fail("saving the screenshot", GetLastError());
    std::fprintf(stdout, "portlex_demo: screenshot saved to %ls\n", shotPath);

    Pump(static_cast<DWORD>(seconds > 0 ? seconds : 0) * 1000);
    textpane.Reset();
    portlex.Reset();
    frame.Reset();  // ATL closes and releases both controls with their windows
    Pump(100);
    return 0;
}
