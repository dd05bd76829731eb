// The form-container call sequence of TestContainer, its teardown and persistence.
#include "test_container.h"

#include <olectl.h>
#include <cstdio>
#include "connection_points.h"
#include "hresult_text.h"
#include "message_pump.h"

namespace tc {
namespace {

const int kSiteMargin = 8;  // the control sits this far into the frame, as on a form

SIZEL HimetricFromPixels(SIZE pixels) {
    HDC screen = GetDC(nullptr);
    const int dpiX = GetDeviceCaps(screen, LOGPIXELSX), dpiY = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return {MulDiv(pixels.cx, 2540, dpiX > 0 ? dpiX : 96), MulDiv(pixels.cy, 2540, dpiY > 0 ? dpiY : 96)};
}

HRESULT Rewind(IStream* stream) {
    LARGE_INTEGER zero{};
    return stream->Seek(zero, STREAM_SEEK_SET, nullptr);
}

}  // namespace

TestContainer::TestContainer(ContainerOptions options)
    : options_(options), log_(std::make_shared<CallLog>()) {
    frame_ = InPlaceFrame::Create(log_);
    site_ = ControlSite::Create(log_, frame_, options_.inPlaceSiteEx);
    window_.Reset(InPlaceFrame::CreateFrameWindow({200, 150}, L"Test container"));
    frame_->SetWindow(window_.Get());
    PlaceSite({32, 32});
}

TestContainer::~TestContainer() {
    Close();
    frame_->SetWindow(nullptr);
}

HRESULT TestContainer::ClassIdFrom(const wchar_t* text, CLSID* clsid) {
    if (!text || !clsid) return E_POINTER;
    wchar_t* writable = const_cast<wchar_t*>(text);  // the API takes a non-const string
    return text[0] == L'{' ? CLSIDFromString(writable, clsid) : CLSIDFromProgID(text, clsid);
}

bool TestContainer::RecordStep(const std::string& name, HRESULT hr, Need need) {
    steps_.push_back({name, hr});
    if (SUCCEEDED(hr) || need == Need::Optional) return true;
    const bool tolerated = need == Need::Expected && !options_.strict;
    lastError_ = name + " failed: " + HresultText(hr);
    std::fprintf(stderr, "test_container: %s%s\n", lastError_.c_str(), tolerated ? " (tolerated)" : "");
    return tolerated;
}

void TestContainer::PlaceSite(SIZE pixels) {
    site_->SetPosRect({kSiteMargin, kSiteMargin, kSiteMargin + pixels.cx, kSiteMargin + pixels.cy});
    RECT outer{0, 0, pixels.cx + 2 * kSiteMargin, pixels.cy + 2 * kSiteMargin};
    AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongW(window_.Get(), GWL_STYLE)), FALSE, 0);
    SetWindowPos(window_.Get(), nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HRESULT TestContainer::Create(const wchar_t* progIdOrClsid, SIZE pixels, IStream* savedState,
                              IPropertyBag* bag) {
    CLSID clsid{};
    const HRESULT hr = ClassIdFrom(progIdOrClsid, &clsid);
    if (FAILED(hr)) {
        steps_.clear();
        RecordStep("CLSIDFromProgID", hr, Need::Required);
        return hr;
    }
    return Create(clsid, pixels, savedState, bag);
}

HRESULT TestContainer::Create(REFCLSID clsid, SIZE pixels, IStream* savedState, IPropertyBag* bag) {
    if (object_) {
        lastError_ = "Create: a control is already in the container";
        return E_UNEXPECTED;
    }
    steps_.clear();
    lastError_.clear();
    const HRESULT hr = RunCreateSequence(clsid, pixels, savedState, bag);
    if (FAILED(hr)) {
        const std::string why = lastError_;  // teardown must not hide the cause
        Close();
        lastError_ = why;
    }
    return hr;
}

HRESULT TestContainer::RunCreateSequence(REFCLSID clsid, SIZE pixels, IStream* savedState,
                                         IPropertyBag* bag) {
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, unknown_.OutVoid());
    if (!RecordStep("CoCreateInstance", hr, Need::Required)) return hr;
    hr = unknown_->QueryInterface(IID_IOleObject, object_.OutVoid());
    if (!RecordStep("QueryInterface IOleObject", hr, Need::Required)) return hr;
    site_->AttachControl(object_.Get());
    PlaceSite(pixels);

    misc_ = 0;
    hr = object_->GetMiscStatus(DVASPECT_CONTENT, &misc_);
    if (hr == OLE_S_USEREG) hr = OleRegGetMiscStatus(clsid, DVASPECT_CONTENT, &misc_);
    if (!RecordStep("IOleObject::GetMiscStatus", hr, Need::Expected)) return hr;

    IID source{};
    hr = FindDefaultSourceInterface(unknown_.Get(), &source);
    if (!RecordStep("IProvideClassInfo2::GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID)", hr, Need::Expected))
        return hr;
    sink_ = SUCCEEDED(hr) ? EventSink::Create(source) : fw::ComPtr<EventSink>();

    quickActivated_ = false;
    if (options_.quickActivate && FAILED(hr = QuickActivate(&quickActivated_))) return hr;
    const bool siteFirst = (misc_ & OLEMISC_SETCLIENTSITEFIRST) != 0;
    if (!quickActivated_ && siteFirst && FAILED(hr = SetClientSite())) return hr;
    if (FAILED(hr = Load(savedState, bag))) return hr;
    if (!quickActivated_ && !siteFirst && FAILED(hr = SetClientSite())) return hr;

    hr = object_->SetHostNames(L"Test container", L"Control1");
    if (!RecordStep("IOleObject::SetHostNames", hr, Need::Expected)) return hr;
    if (FAILED(hr = AdviseSinks())) return hr;
    if (FAILED(hr = SetExtent(pixels))) return hr;
    if (FAILED(hr = InitControl())) return hr;
    return Activate();
}

// VB's path: one call hands the control its site, sinks and the main ambients.
HRESULT TestContainer::QuickActivate(bool* done) {
    *done = false;
    fw::ComPtr<IQuickActivate> quick;
    HRESULT hr = unknown_->QueryInterface(IID_IQuickActivate, quick.OutVoid());
    RecordStep("QueryInterface IQuickActivate", hr, Need::Optional);
    if (FAILED(hr)) return S_OK;  // classic path

    AmbientProperties& ambient = site_->Ambient();
    fw::Variant fore, back, font, locale;
    ambient.Get(DISPID_AMBIENT_FORECOLOR, &fore);
    ambient.Get(DISPID_AMBIENT_BACKCOLOR, &back);
    ambient.Get(DISPID_AMBIENT_FONT, &font);
    ambient.Get(DISPID_AMBIENT_LOCALEID, &locale);
    fw::ComPtr<IFont> ifont;
    if (font.vt == VT_DISPATCH && font.pdispVal) font.pdispVal->QueryInterface(IID_IFont, ifont.OutVoid());

    ControlSite* site = site_.Get();
    QACONTAINER container{};
    container.cbSize = sizeof container;
    container.pClientSite = static_cast<IOleClientSite*>(site);
    container.pAdviseSink = static_cast<IAdviseSinkEx*>(site);
    container.pPropertyNotifySink = static_cast<IPropertyNotifySink*>(site);
    container.pUnkEventSink = sink_ ? static_cast<IDispatch*>(sink_.Get()) : nullptr;
    container.dwAmbientFlags = QACONTAINER_USERMODE | QACONTAINER_AUTOCLIP;
    container.colorFore = static_cast<OLE_COLOR>(fore.vt == VT_I4 ? fore.lVal : 0);
    container.colorBack = static_cast<OLE_COLOR>(back.vt == VT_I4 ? back.lVal : 0);
    container.pFont = ifont.Get();
    container.dwAppearance = 1;
    container.lcid = locale.vt == VT_I4 ? locale.lVal : 0x0409;
    container.pOleControlSite = static_cast<IOleControlSite*>(site);
    QACONTROL control{};
    control.cbSize = sizeof control;
    hr = quick->QuickActivate(&container, &control);
    if (!RecordStep("IQuickActivate::QuickActivate", hr, Need::Expected)) return hr;
    if (FAILED(hr)) return S_OK;  // lenient: the classic path, as containers fall back
    misc_ = control.dwMiscStatus;
    eventCookie_ = control.dwEventCookie;
    propertyCookie_ = control.dwPropNotifyCookie;
    viewAdvised_ = true;  // the control holds pAdviseSink for its view
    *done = true;
    return S_OK;
}

HRESULT TestContainer::SetClientSite() {
    const HRESULT hr = object_->SetClientSite(Site());
    return RecordStep("IOleObject::SetClientSite", hr, Need::Required) ? S_OK : hr;
}

HRESULT TestContainer::Load(IStream* savedState, IPropertyBag* bag) {
    HRESULT hr;
    std::string step;
    fw::ComPtr<IPersistStreamInit> streamInit;
    const bool hasStreamInit = SUCCEEDED(unknown_->QueryInterface(IID_IPersistStreamInit, streamInit.OutVoid()));
    if (savedState) {
        fw::ComPtr<IPersistStream> stream;
        if (hasStreamInit) {
            step = "IPersistStreamInit::Load";
            hr = streamInit->Load(savedState);
        } else if (SUCCEEDED(hr = unknown_->QueryInterface(IID_IPersistStream, stream.OutVoid()))) {
            step = "IPersistStream::Load";
            hr = stream->Load(savedState);
        } else {
            step = "QueryInterface IPersistStreamInit";
        }
    } else if (bag) {
        fw::ComPtr<IPersistPropertyBag> persist;
        step = "QueryInterface IPersistPropertyBag";
        if (SUCCEEDED(hr = unknown_->QueryInterface(IID_IPersistPropertyBag, persist.OutVoid()))) {
            step = "IPersistPropertyBag::Load";
            hr = persist->Load(bag, nullptr);
        }
    } else if (hasStreamInit) {
        step = "IPersistStreamInit::InitNew";
        hr = streamInit->InitNew();
    } else {
        fw::ComPtr<IPersistPropertyBag> persist;
        step = "QueryInterface IPersistStreamInit";
        hr = E_NOINTERFACE;
        if (SUCCEEDED(unknown_->QueryInterface(IID_IPersistPropertyBag, persist.OutVoid()))) {
            step = "IPersistPropertyBag::InitNew";
            hr = persist->InitNew();
        }
    }
    return RecordStep(step, hr, Need::Required) ? S_OK : hr;
}

HRESULT TestContainer::AdviseSinks() {
    ControlSite* site = site_.Get();
    HRESULT hr = object_->Advise(static_cast<IAdviseSinkEx*>(site), &oleAdviseCookie_);
    if (!RecordStep("IOleObject::Advise", hr, Need::Expected)) return hr;
    if (FAILED(hr)) oleAdviseCookie_ = 0;
    if (quickActivated_) return S_OK;  // QuickActivate wired the view and the events

    fw::ComPtr<IViewObject> view;
    hr = unknown_->QueryInterface(IID_IViewObject, view.OutVoid());
    if (SUCCEEDED(hr)) hr = view->SetAdvise(DVASPECT_CONTENT, 0, static_cast<IAdviseSinkEx*>(site));
    if (!RecordStep("IViewObject::SetAdvise", hr, Need::Expected)) return hr;
    viewAdvised_ = SUCCEEDED(hr);

    if (sink_) {
        hr = AdviseConnectionPoint(unknown_.Get(), sink_->EventInterface(),
                                   static_cast<IDispatch*>(sink_.Get()), &eventCookie_);
        if (!RecordStep("IConnectionPoint::Advise (events)", hr, Need::Expected)) return hr;
        if (FAILED(hr)) eventCookie_ = 0;
    }
    hr = AdviseConnectionPoint(unknown_.Get(), IID_IPropertyNotifySink,
                               static_cast<IPropertyNotifySink*>(site), &propertyCookie_);
    RecordStep("IConnectionPoint::Advise (IPropertyNotifySink)", hr, Need::Optional);
    if (FAILED(hr)) propertyCookie_ = 0;
    return S_OK;
}

HRESULT TestContainer::SetExtent(SIZE pixels) {
    SIZEL himetric = HimetricFromPixels(pixels);
    const HRESULT hr = object_->SetExtent(DVASPECT_CONTENT, &himetric);
    return RecordStep("IOleObject::SetExtent", hr, Need::Expected) ? S_OK : hr;
}

HRESULT TestContainer::InitControl() {
    fw::ComPtr<IOleControl> control;
    HRESULT hr = unknown_->QueryInterface(IID_IOleControl, control.OutVoid());
    if (!RecordStep("QueryInterface IOleControl", hr, Need::Expected)) return hr;
    if (FAILED(hr)) return S_OK;
    CONTROLINFO info{};
    info.cb = sizeof info;
    hr = control->GetControlInfo(&info);
    if (!RecordStep("IOleControl::GetControlInfo", hr, Need::Expected)) return hr;
    // info.hAccel stays the control's: a container only reads it.
    hr = control->OnAmbientPropertyChange(DISPID_UNKNOWN);
    return RecordStep("IOleControl::OnAmbientPropertyChange(DISPID_UNKNOWN)", hr, Need::Expected) ? S_OK : hr;
}

HRESULT TestContainer::Activate() {
    // At run time a form leaves a control that is invisible at run time (a timer, a
    // communications control) inactive and never shows it.
    fw::Variant userMode;
    site_->Ambient().Get(DISPID_AMBIENT_USERMODE, &userMode);
    const bool running = userMode.vt == VT_BOOL && userMode.boolVal != VARIANT_FALSE;
    if (running && (misc_ & OLEMISC_INVISIBLEATRUNTIME)) {
        RecordStep("DoVerb skipped: OLEMISC_INVISIBLEATRUNTIME", S_FALSE, Need::Optional);
        return S_OK;
    }
    const RECT pos = site_->PosRect();
    HRESULT hr = object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, Site(), 0, window_.Get(), &pos);
    if (!RecordStep("IOleObject::DoVerb(OLEIVERB_INPLACEACTIVATE)", hr, Need::Required)) return hr;
    hr = object_->DoVerb(OLEIVERB_SHOW, nullptr, Site(), 0, window_.Get(), &pos);
    return RecordStep("IOleObject::DoVerb(OLEIVERB_SHOW)", hr, Need::Expected) ? S_OK : hr;
}

HWND TestContainer::ControlWindow() const {
    fw::ComPtr<IOleInPlaceObject> inPlace;
    HWND window = nullptr;
    if (unknown_ && SUCCEEDED(unknown_->QueryInterface(IID_IOleInPlaceObject, inPlace.OutVoid())) &&
        FAILED(inPlace->GetWindow(&window)))
        window = nullptr;
    return window;
}

HRESULT TestContainer::Resize(SIZE pixels) {
    if (!object_) return E_UNEXPECTED;
    HRESULT hr = SetExtent(pixels);
    if (FAILED(hr)) return hr;
    PlaceSite(pixels);
    fw::ComPtr<IOleInPlaceObject> inPlace;
    hr = unknown_->QueryInterface(IID_IOleInPlaceObject, inPlace.OutVoid());
    if (SUCCEEDED(hr)) {
        const RECT pos = site_->PosRect(), clip = site_->ClipRect();
        hr = inPlace->SetObjectRects(&pos, &clip);
    }
    return RecordStep("IOleInPlaceObject::SetObjectRects", hr, Need::Required) ? S_OK : hr;
}

HRESULT TestContainer::Deactivate() {
    if (!object_) return E_UNEXPECTED;
    fw::ComPtr<IOleInPlaceObject> inPlace;
    HRESULT hr = unknown_->QueryInterface(IID_IOleInPlaceObject, inPlace.OutVoid());
    if (SUCCEEDED(hr)) hr = inPlace->InPlaceDeactivate();
    return RecordStep("IOleInPlaceObject::InPlaceDeactivate", hr, Need::Expected) ? S_OK : hr;
}

HRESULT TestContainer::Close() {
    if (!object_) {
        unknown_.Reset();  // a Create that stopped before IOleObject
        return S_OK;
    }
    HRESULT first = S_OK;
    auto note = [&](const char* name, HRESULT hr, Need need) {
        if (!RecordStep(name, hr, need) && SUCCEEDED(first)) first = hr;
    };
    // The control may still fire events and notifications while it closes; the sinks stay
    // connected until it has.
    note("Close: IOleObject::Close(OLECLOSE_NOSAVE)", object_->Close(OLECLOSE_NOSAVE), Need::Expected);
    if (eventCookie_ && sink_)
        note("Close: IConnectionPoint::Unadvise (events)",
             UnadviseConnectionPoint(unknown_.Get(), sink_->EventInterface(), eventCookie_), Need::Expected);
    if (propertyCookie_)
        note("Close: IConnectionPoint::Unadvise (IPropertyNotifySink)",
             UnadviseConnectionPoint(unknown_.Get(), IID_IPropertyNotifySink, propertyCookie_), Need::Optional);
    if (oleAdviseCookie_)
        note("Close: IOleObject::Unadvise", object_->Unadvise(oleAdviseCookie_), Need::Expected);
    if (viewAdvised_) {
        fw::ComPtr<IViewObject> view = unknown_.As<IViewObject>(IID_IViewObject);
        if (view) note("Close: IViewObject::SetAdvise(NULL)", view->SetAdvise(DVASPECT_CONTENT, 0, nullptr), Need::Optional);
    }
    note("Close: IOleObject::SetClientSite(NULL)", object_->SetClientSite(nullptr), Need::Expected);
    site_->AttachControl(nullptr);
    frame_->ForgetActiveObject();
    object_.Reset();
    unknown_.Reset();
    eventCookie_ = propertyCookie_ = oleAdviseCookie_ = 0;
    viewAdvised_ = quickActivated_ = false;
    return first;
}

HRESULT TestContainer::SaveToStream(IStream** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!object_) return E_UNEXPECTED;
    fw::ComPtr<IStream> stream;
    HRESULT hr = CreateStreamOnHGlobal(nullptr, TRUE, stream.ReleaseAndGetAddressOf());
    if (!RecordStep("SaveToStream: CreateStreamOnHGlobal", hr, Need::Required)) return hr;
    fw::ComPtr<IPersistStreamInit> streamInit;
    fw::ComPtr<IPersistStream> plain;
    if (SUCCEEDED(hr = unknown_->QueryInterface(IID_IPersistStreamInit, streamInit.OutVoid())))
        hr = streamInit->Save(stream.Get(), TRUE);
    else if (SUCCEEDED(hr = unknown_->QueryInterface(IID_IPersistStream, plain.OutVoid())))
        hr = plain->Save(stream.Get(), TRUE);
    if (SUCCEEDED(hr)) hr = Rewind(stream.Get());
    if (!RecordStep("SaveToStream: IPersistStreamInit::Save", hr, Need::Required)) return hr;
    *out = stream.Detach();
    return S_OK;
}

HRESULT TestContainer::SaveToBag(IPropertyBag* bag, bool saveAllProperties) {
    if (!object_) return E_UNEXPECTED;
    fw::ComPtr<IPersistPropertyBag> persist;
    HRESULT hr = unknown_->QueryInterface(IID_IPersistPropertyBag, persist.OutVoid());
    if (SUCCEEDED(hr)) hr = persist->Save(bag, TRUE, saveAllProperties ? TRUE : FALSE);
    return RecordStep("IPersistPropertyBag::Save", hr, Need::Required) ? S_OK : hr;
}

HRESULT TestContainer::LoadFromBag(IPropertyBag* bag) {
    if (!object_) return E_UNEXPECTED;
    fw::ComPtr<IPersistPropertyBag> persist;
    HRESULT hr = unknown_->QueryInterface(IID_IPersistPropertyBag, persist.OutVoid());
    if (SUCCEEDED(hr)) hr = persist->Load(bag, nullptr);
    return RecordStep("IPersistPropertyBag::Load", hr, Need::Required) ? S_OK : hr;
}

HRESULT TestContainer::SetAmbient(DISPID id, const VARIANT& value) {
    HRESULT hr = site_->Ambient().Set(id, value);
    if (FAILED(hr) || !object_) return hr;
    fw::ComPtr<IOleControl> control;
    hr = unknown_->QueryInterface(IID_IOleControl, control.OutVoid());
    if (SUCCEEDED(hr)) hr = control->OnAmbientPropertyChange(id);
    return RecordStep("IOleControl::OnAmbientPropertyChange", hr, Need::Expected) ? S_OK : hr;
}

int TestContainer::CallIndex(const std::string& name, int from) const {
    const auto& calls = log_->Calls();
    for (size_t i = from < 0 ? 0 : static_cast<size_t>(from); i < calls.size(); ++i) {
        const std::string& call = calls[i];
        if (call == name || (call.size() > name.size() && call.compare(0, name.size(), name) == 0 &&
                             call[name.size()] == ' '))
            return static_cast<int>(i);
    }
    return -1;
}

std::string TestContainer::CallsText() const {
    std::string text;
    for (const std::string& call : log_->Calls()) text += (text.empty() ? "" : ", ") + call;
    return text;
}

const std::vector<DISPID>& TestContainer::FiredEvents() const {
    static const std::vector<DISPID> none;
    return sink_ ? sink_->Fired() : none;
}

void TestContainer::PumpMessages(DWORD ms) {
    // Keyboard messages go to the active object first, as a frame's loop does.
    tc::PumpMessages(ms, [this](MSG& msg) {
        IOleInPlaceActiveObject* active = frame_->ActiveObject();
        return active && msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST &&
               active->TranslateAccelerator(&msg) == S_OK;
    });
}

}  // namespace tc
