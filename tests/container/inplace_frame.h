// The test container's frame: a visible top-level window and its OLE faces, the in-place
// frame (IOleInPlaceFrame) handed out by GetWindowContext and the container (IOleContainer)
// handed out by IOleClientSite::GetContainer. Its calls go into the call log as "Frame.<name>".
#pragma once
#include <ole2.h>
#include <memory>
#include "call_log.h"
#include "framework/com_ptr.h"

namespace tc {

class InPlaceFrame final : public IOleInPlaceFrame, public IOleContainer {
public:
    static fw::ComPtr<InPlaceFrame> Create(std::shared_ptr<CallLog> log);

    // A visible top-level window whose client area is `clientSize`, on the current display.
    static HWND CreateFrameWindow(SIZE clientSize, const wchar_t* caption);

    void SetWindow(HWND frame) { window_ = frame; }
    HWND Window() const { return window_; }
    // The object the control made active through SetActiveObject (keyboard messages go
    // through its TranslateAccelerator first); null when none.
    IOleInPlaceActiveObject* ActiveObject() const { return active_.Get(); }
    void ForgetActiveObject() { active_.Reset(); }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override;
    // IOleWindow
    STDMETHODIMP GetWindow(HWND* window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL enterMode) override;
    // IOleInPlaceUIWindow
    STDMETHODIMP GetBorder(RECT* border) override;
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS widths) override;
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS widths) override;
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR name) override;
    // IOleInPlaceFrame
    STDMETHODIMP InsertMenus(HMENU shared, OLEMENUGROUPWIDTHS* widths) override;
    STDMETHODIMP SetMenu(HMENU shared, HOLEMENU ole, HWND activeObject) override;
    STDMETHODIMP RemoveMenus(HMENU shared) override;
    STDMETHODIMP SetStatusText(LPCOLESTR text) override;
    STDMETHODIMP EnableModeless(BOOL enable) override;
    STDMETHODIMP TranslateAccelerator(MSG* msg, WORD id) override;
    // IParseDisplayName, IOleContainer
    STDMETHODIMP ParseDisplayName(IBindCtx*, LPOLESTR, ULONG*, IMoniker**) override;
    STDMETHODIMP EnumObjects(DWORD flags, IEnumUnknown** objects) override;
    STDMETHODIMP LockContainer(BOOL lock) override;

private:
    explicit InPlaceFrame(std::shared_ptr<CallLog> log) : log_(std::move(log)) {}
    ~InPlaceFrame() = default;

    ULONG refs_ = 0;
    std::shared_ptr<CallLog> log_;
    HWND window_ = nullptr;
    fw::ComPtr<IOleInPlaceActiveObject> active_;
};

}  // namespace tc
