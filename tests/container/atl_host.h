// AtlHost: a control hosted by Wine's ATL in an "AtlAxWin" window, the thin host that
// AtlAxWinInit provides (it calls InitNew, SetClientSite, SetHostNames, SetExtent,
// DoVerb(INPLACEACTIVATE), SetObjectRects, and Close + SetClientSite(NULL) on destroy).
//
//   tc::AtlHost host;
//   ASSERT_EQ(S_OK, host.Create(L"Textpane.TextpaneCtrl.10", {320, 200})) << host.LastError();
//   fw::ComPtr<IDispatch> d = fw::ComPtr<IUnknown>(host.Control()).As<IDispatch>(IID_IDispatch);
#pragma once
#include <windows.h>
#include <string>
#include "framework/com_ptr.h"
#include "framework/handles.h"
#include "ole_session.h"

namespace tc {

class AtlHost {
public:
    AtlHost() = default;
    ~AtlHost() { Destroy(); }
    AtlHost(const AtlHost&) = delete;
    AtlHost& operator=(const AtlHost&) = delete;

    // Loads atl.dll (else atl100.dll), AtlAxWinInit, a visible top-level window with an
    // AtlAxWin child of `pixels` named by the ProgID or "{CLSID}", then AtlAxGetControl.
    // A failure leaves nothing behind and its text in LastError().
    HRESULT Create(const wchar_t* progIdOrClsid, SIZE pixels);
    // Destroys the windows; ATL closes and releases the control. Safe to call twice.
    void Destroy();

    IUnknown* Control() const { return control_.Get(); }
    HWND Frame() const { return frame_.Get(); }
    HWND AxWindow() const { return axWindow_; }
    // The ATL module used ("atl.dll" or "atl100.dll"), empty before a Create.
    const std::string& Module() const { return module_; }
    const std::string& LastError() const { return lastError_; }
    // Dispatches this thread's messages for `ms` milliseconds (painting, timers).
    void PumpMessages(DWORD ms);

private:
    HRESULT Fail(const std::string& step, HRESULT hr);

    OleSession ole_;
    fw::UniqueWindow frame_;
    HWND axWindow_ = nullptr;  // a child of frame_, destroyed with it
    fw::ComPtr<IUnknown> control_;
    std::string module_;
    std::string lastError_;
};

}  // namespace tc
