// The control's site in the test container. It answers what a form container's site answers
// (client site, in-place site, control site, advise sink, property notifications and the
// ambient properties through IDispatch) and writes every call the control makes into the call
// log by name, with the arguments that matter: "OnPosRectChange 0,0,32,32", "Ambient -701".
#pragma once
#include <ole2.h>
#include <olectl.h>
#include <ocidl.h>
#include <memory>
#include "ambient_properties.h"
#include "call_log.h"
#include "framework/com_ptr.h"
#include "inplace_frame.h"

namespace tc {

class ControlSite final : public IOleClientSite,
                          public IOleInPlaceSiteEx,
                          public IOleControlSite,
                          public IAdviseSinkEx,
                          public IDispatch,
                          public IPropertyNotifySink {
public:
    // offerInPlaceSiteEx FALSE makes the site answer only IOleInPlaceSite, as older
    // containers do, so that a control's fallback path can be tested.
    static fw::ComPtr<ControlSite> Create(std::shared_ptr<CallLog> log,
                                          fw::ComPtr<InPlaceFrame> frame,
                                          bool offerInPlaceSiteEx);

    // The control's position rectangle in the frame's client area (the frame window is the
    // parent the site hands out); the clip rectangle is the frame's client area.
    void SetPosRect(const RECT& pos) { pos_ = pos; }
    const RECT& PosRect() const { return pos_; }
    RECT ClipRect() const;
    // The control answering OnPosRectChange with SetObjectRects. Not owned: the container
    // holds the control and detaches it before releasing it.
    void AttachControl(IOleObject* control) { control_ = control; }
    AmbientProperties& Ambient() { return ambient_; }
    bool InPlaceActive() const { return inPlaceActive_; }
    bool UiActive() const { return uiActive_; }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override;
    // IOleClientSite
    STDMETHODIMP SaveObject() override;
    STDMETHODIMP GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
    STDMETHODIMP GetContainer(IOleContainer** container) override;
    STDMETHODIMP ShowObject() override;
    STDMETHODIMP OnShowWindow(BOOL show) override;
    STDMETHODIMP RequestNewObjectLayout() override;
    // IOleWindow
    STDMETHODIMP GetWindow(HWND* window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL enterMode) override;
    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override;
    STDMETHODIMP OnInPlaceActivate() override;
    STDMETHODIMP OnUIActivate() override;
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                  RECT* pos, RECT* clip, OLEINPLACEFRAMEINFO* info) override;
    STDMETHODIMP Scroll(SIZE extent) override;
    STDMETHODIMP OnUIDeactivate(BOOL undoable) override;
    STDMETHODIMP OnInPlaceDeactivate() override;
    STDMETHODIMP DiscardUndoState() override;
    STDMETHODIMP DeactivateAndUndo() override;
    STDMETHODIMP OnPosRectChange(LPCRECT pos) override;
    // IOleInPlaceSiteEx
    STDMETHODIMP OnInPlaceActivateEx(BOOL* noRedraw, DWORD flags) override;
    STDMETHODIMP OnInPlaceDeactivateEx(BOOL noRedraw) override;
    STDMETHODIMP RequestUIActivate() override;
    // IOleControlSite
    STDMETHODIMP OnControlInfoChanged() override;
    STDMETHODIMP LockInPlaceActive(BOOL lock) override;
    STDMETHODIMP GetExtendedControl(IDispatch** extended) override;
    STDMETHODIMP TransformCoords(POINTL* himetric, POINTF* container, DWORD flags) override;
    STDMETHODIMP TranslateAccelerator(MSG* msg, DWORD modifiers) override;
    STDMETHODIMP OnFocus(BOOL gotFocus) override;
    STDMETHODIMP ShowPropertyFrame() override;
    // IAdviseSink, IAdviseSinkEx
    STDMETHODIMP_(void) OnDataChange(FORMATETC* format, STGMEDIUM* medium) override;
    STDMETHODIMP_(void) OnViewChange(DWORD aspect, LONG index) override;
    STDMETHODIMP_(void) OnRename(IMoniker* moniker) override;
    STDMETHODIMP_(void) OnSave() override;
    STDMETHODIMP_(void) OnClose() override;
    STDMETHODIMP_(void) OnViewStatusChange(DWORD status) override;
    // IDispatch: the ambient properties
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                               DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                        VARIANT* result, EXCEPINFO* exception, UINT* argError) override;
    // IPropertyNotifySink
    STDMETHODIMP OnChanged(DISPID id) override;
    STDMETHODIMP OnRequestEdit(DISPID id) override;

private:
    ControlSite(std::shared_ptr<CallLog> log, fw::ComPtr<InPlaceFrame> frame, bool offerEx)
        : log_(std::move(log)), frame_(std::move(frame)), offerEx_(offerEx) {}
    ~ControlSite() = default;
    void Log(const char* name, long value);

    ULONG refs_ = 0;
    std::shared_ptr<CallLog> log_;
    fw::ComPtr<InPlaceFrame> frame_;
    bool offerEx_;
    RECT pos_{};
    IOleObject* control_ = nullptr;
    AmbientProperties ambient_;
    bool inPlaceActive_ = false;
    bool uiActive_ = false;
};

}  // namespace tc
