// TestContainer: hosts one ActiveX control the way a form container (VB, Office, WinForms)
// does, records every call the control makes back into its site, and lets tests look at the
// result. One visible top-level frame window (on the current display) holds one control site.
//
//   tc::TestContainer box;                     // OleInitialize, frame window, site
//   ASSERT_EQ(S_OK, box.Create(L"Textpane.TextpaneCtrl.10", {320, 200})) << box.LastError();
//   box.PumpMessages(100);
//   tc::Pixels shot = tc::CaptureWindow(box.ControlWindow());
//   EXPECT_TRUE(box.Called("OnInPlaceActivateEx")) << box.CallsText();
//
// Create runs, in order:
//   CoCreateInstance(CLSCTX_INPROC_SERVER) and IOleObject;
//   IOleObject::GetMiscStatus(DVASPECT_CONTENT) (OLE_S_USEREG: OleRegGetMiscStatus);
//   the default source interface (IProvideClassInfo2::GetGUID, else IProvideClassInfo);
//   [quickActivate and the control has IQuickActivate: QuickActivate with the site, sinks and
//    ambients, which replaces SetClientSite, IViewObject::SetAdvise and the event wiring]
//   SetClientSite first when OLEMISC_SETCLIENTSITEFIRST;
//   IPersistStreamInit::Load(savedState), or IPersistPropertyBag::Load(bag), or InitNew;
//   otherwise SetClientSite now;
//   IOleObject::SetHostNames, IOleObject::Advise, IViewObject::SetAdvise(DVASPECT_CONTENT);
//   Advise of an event sink on the default source interface, and of the site on
//   IPropertyNotifySink (optional: a control may have no bindable properties);
//   IOleObject::SetExtent (HIMETRIC of the pixel size at the screen's DPI);
//   IOleControl::GetControlInfo, IOleControl::OnAmbientPropertyChange(DISPID_UNKNOWN);
//   DoVerb(OLEIVERB_INPLACEACTIVATE) then DoVerb(OLEIVERB_SHOW) with the site rectangle,
//   unless the control is OLEMISC_INVISIBLEATRUNTIME and the ambient UserMode is TRUE.
// A failed QuickActivate falls back to the classic path when the container is lenient.
// Every step is kept in Steps() with its HRESULT. A failed step is printed to stderr and its
// text kept in LastError() ("IOleObject::SetHostNames failed: 0x80004001"). Strict
// containers (the default) stop at the first failure; lenient ones go on past failures of
// the steps a control may decline and stop only when creating, loading, setting the site
// or in-place activation fails. A failed Create closes what it had made.
// TEST_CONTAINER_TRACE=1 in the environment prints each call into the site as it happens.
#pragma once
#include <ole2.h>
#include <ocidl.h>
#include <memory>
#include <string>
#include <vector>
#include "call_log.h"
#include "control_site.h"
#include "event_sink.h"
#include "framework/com_ptr.h"
#include "framework/handles.h"
#include "inplace_frame.h"
#include "ole_session.h"

namespace tc {

struct ContainerOptions {
    bool strict = true;          // any failed step fails Create (and Close, Resize)
    bool quickActivate = false;  // try IQuickActivate first, as VB does; classic path if absent
    bool inPlaceSiteEx = true;   // the site offers IOleInPlaceSiteEx besides IOleInPlaceSite
};

struct Step {
    std::string name;
    HRESULT hr;
};

class TestContainer {
public:
    explicit TestContainer(ContainerOptions options = {});
    ~TestContainer();  // Close, then the frame window goes
    TestContainer(const TestContainer&) = delete;
    TestContainer& operator=(const TestContainer&) = delete;

    // The sequence above. E_UNEXPECTED while a control is already in the container.
    HRESULT Create(REFCLSID clsid, SIZE pixels, IStream* savedState = nullptr,
                   IPropertyBag* bag = nullptr);
    // Same, for a ProgID or a "{CLSID}" string.
    HRESULT Create(const wchar_t* progIdOrClsid, SIZE pixels, IStream* savedState = nullptr,
                   IPropertyBag* bag = nullptr);

    IUnknown* Control() const { return unknown_.Get(); }  // null when none
    HWND ControlWindow() const;  // IOleInPlaceObject::GetWindow; null when not active
    HWND Frame() const { return window_.Get(); }
    RECT SiteRect() const { return site_->PosRect(); }  // in the frame's client area
    DWORD MiscStatus() const { return misc_; }
    bool QuickActivated() const { return quickActivated_; }
    // The site itself, for asking it what the control would (e.g. an ambient through IDispatch).
    IOleClientSite* Site() const { return static_cast<IOleClientSite*>(site_.Get()); }

    // SetExtent, then IOleInPlaceObject::SetObjectRects with the new site rectangle.
    HRESULT Resize(SIZE pixels);
    // IOleInPlaceObject::InPlaceDeactivate.
    HRESULT Deactivate();
    // Close(OLECLOSE_NOSAVE), unadvise everything, SetClientSite(NULL), release the control.
    // The calls and fired events stay readable. S_OK when nothing is there.
    HRESULT Close();

    // IPersistStreamInit::Save into a new HGLOBAL stream, rewound for Load.
    HRESULT SaveToStream(IStream** out);
    // IPersistPropertyBag::Save / Load with a bag, e.g. a tc::PropertyBag.
    HRESULT SaveToBag(IPropertyBag* bag, bool saveAllProperties = true);
    HRESULT LoadFromBag(IPropertyBag* bag);

    // Changes an ambient property and tells the control (OnAmbientPropertyChange).
    HRESULT SetAmbient(DISPID id, const VARIANT& value);

    // Calls into the site and the frame, in order ("OnInPlaceActivate", "Frame.GetWindow",
    // "OnPosRectChange 0,0,32,32", "Ambient -701", ...).
    const std::vector<std::string>& Calls() const { return log_->Calls(); }
    // A call of that name, with or without arguments ("OnFocus" matches "OnFocus 1").
    bool Called(const std::string& name) const { return CallIndex(name) >= 0; }
    // Position of the first such call at or after `from`; -1 when none.
    int CallIndex(const std::string& name, int from = 0) const;
    std::string CallsText() const;  // all calls joined by ", " for failure messages
    void ClearCalls() { log_->Clear(); }

    // DISPIDs fired into the event sink, in order.
    const std::vector<DISPID>& FiredEvents() const;
    const std::vector<Step>& Steps() const { return steps_; }
    const std::string& LastError() const { return lastError_; }

    // Dispatches this thread's messages for `ms` milliseconds (0: only those waiting). Keyboard
    // messages go first to the active object's TranslateAccelerator, as a frame does.
    void PumpMessages(DWORD ms);

    // CLSIDFromString for "{...}", CLSIDFromProgID otherwise.
    static HRESULT ClassIdFrom(const wchar_t* progIdOrClsid, CLSID* clsid);

private:
    enum class Need { Required, Expected, Optional };
    bool RecordStep(const std::string& name, HRESULT hr, Need need);
    HRESULT RunCreateSequence(REFCLSID clsid, SIZE pixels, IStream* savedState, IPropertyBag* bag);
    HRESULT QuickActivate(bool* done);
    HRESULT Load(IStream* savedState, IPropertyBag* bag);
    HRESULT SetClientSite();
    HRESULT AdviseSinks();
    HRESULT SetExtent(SIZE pixels);
    HRESULT InitControl();
    HRESULT Activate();
    void PlaceSite(SIZE pixels);

    OleSession ole_;  // first in, last out
    ContainerOptions options_;
    std::shared_ptr<CallLog> log_;
    fw::ComPtr<InPlaceFrame> frame_;
    fw::ComPtr<ControlSite> site_;
    fw::UniqueWindow window_;

    fw::ComPtr<IUnknown> unknown_;
    fw::ComPtr<IOleObject> object_;
    fw::ComPtr<EventSink> sink_;
    DWORD misc_ = 0;
    bool quickActivated_ = false;
    bool viewAdvised_ = false;
    DWORD oleAdviseCookie_ = 0;
    DWORD eventCookie_ = 0;
    DWORD propertyCookie_ = 0;
    std::vector<Step> steps_;
    std::string lastError_;
};

}  // namespace tc
