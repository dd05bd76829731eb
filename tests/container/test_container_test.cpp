// The form-container sequence of TestContainer, run against a real control that Wine
// registers (Windows Media Player, "WMPlayer.OCX"), and the site's own answers.
#include <gtest/gtest.h>

#include <olectl.h>
#include <string>
#include "capture.h"
#include "event_sink.h"
#include "framework/bstr.h"
#include "hresult_text.h"
#include "test_container.h"

namespace {

const wchar_t kPlayer[] = L"WMPlayer.OCX";  // paints its window red; InitNew needs the site
const uint32_t kRed = tc::Rgb(255, 0, 0);

std::string StepsText(const tc::TestContainer& box) {
    std::string text;
    for (const tc::Step& s : box.Steps()) text += "\n  " + s.name + " " + tc::HresultText(s.hr);
    return text;
}

int StepIndex(const tc::TestContainer& box, const std::string& name) {
    for (size_t i = 0; i < box.Steps().size(); ++i)
        if (box.Steps()[i].name == name) return static_cast<int>(i);
    return -1;
}

HRESULT StepResult(const tc::TestContainer& box, const std::string& name) {
    const int i = StepIndex(box, name);
    return i < 0 ? E_UNEXPECTED : box.Steps()[i].hr;
}

RECT RectInFrame(HWND child, HWND frame) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string RectText(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

// The whole sequence on both paths: classic, and IQuickActivate asked for but refused.
TEST(TestContainer, HostsARealControlInPlace) {
    for (bool quick : {false, true}) {
        SCOPED_TRACE(quick ? "quick activation asked" : "classic");
        tc::ContainerOptions options;
        options.strict = false;  // the player declines SetHostNames, GetControlInfo and more
        options.quickActivate = quick;
        tc::TestContainer box(options);
        ASSERT_EQ(S_OK, box.Create(kPlayer, {96, 64})) << box.LastError() << StepsText(box);
        EXPECT_FALSE(box.QuickActivated());
        if (quick) {
            EXPECT_EQ(E_NOINTERFACE, StepResult(box, "QueryInterface IQuickActivate"));
        }

        // OLEMISC_SETCLIENTSITEFIRST: the site came before InitNew, which needs it.
        EXPECT_TRUE(box.MiscStatus() & OLEMISC_SETCLIENTSITEFIRST) << std::hex << box.MiscStatus();
        const int site = StepIndex(box, "IOleObject::SetClientSite");
        const int init = StepIndex(box, "IPersistStreamInit::InitNew");
        ASSERT_GE(site, 0) << StepsText(box);
        EXPECT_LT(site, init) << StepsText(box);
        EXPECT_EQ(S_OK, box.Steps()[init].hr);
        EXPECT_EQ(S_OK, StepResult(box, "IConnectionPoint::Advise (events)")) << StepsText(box);

        // In-place activation through IOleInPlaceSiteEx, in the order a control makes it.
        const int activate = box.CallIndex("OnInPlaceActivateEx");
        EXPECT_GE(activate, 0) << box.CallsText();
        EXPECT_GT(box.CallIndex("GetWindowContext"), activate) << box.CallsText();
        EXPECT_TRUE(box.Called("ShowObject")) << box.CallsText();

        HWND window = box.ControlWindow();
        ASSERT_NE(nullptr, window);
        EXPECT_EQ(box.Frame(), GetParent(window));
        EXPECT_TRUE(SameRect(box.SiteRect(), RectInFrame(window, box.Frame())))
            << RectText(RectInFrame(window, box.Frame())) << " site " << RectText(box.SiteRect());

        box.PumpMessages(100);
        const tc::Pixels control = tc::CaptureWindow(window);
        EXPECT_GT(tc::CountColor(control, control.Bounds(), kRed), 96 * 64 / 2) << tc::Histogram(control, control.Bounds());
        // The frame around the site keeps the form's colour.
        const tc::Pixels frame = tc::CaptureWindow(box.Frame());
        const COLORREF face = GetSysColor(COLOR_BTNFACE);
        EXPECT_EQ(tc::Rgb(GetRValue(face), GetGValue(face), GetBValue(face)), frame.At(2, 2))
            << tc::Histogram(frame, {0, 0, 8, 8});

        EXPECT_EQ(S_OK, box.Close());
        EXPECT_TRUE(box.Called("OnInPlaceDeactivate")) << box.CallsText();
        EXPECT_FALSE(IsWindow(window));
        EXPECT_EQ(nullptr, box.Control());
        EXPECT_EQ(S_OK, box.Close());  // twice is harmless
    }
}

TEST(TestContainer, ResizeAndPosRectChangeMoveTheControl) {
    tc::ContainerOptions options;
    options.strict = false;
    tc::TestContainer box(options);
    ASSERT_EQ(S_OK, box.Create(kPlayer, {96, 64})) << box.LastError();

    ASSERT_EQ(S_OK, box.Resize({120, 80})) << box.LastError();
    RECT client{};
    GetClientRect(box.ControlWindow(), &client);
    EXPECT_EQ(120, client.right);
    EXPECT_EQ(80, client.bottom);

    // A control asking for a new place gets it, and SetObjectRects with it.
    fw::ComPtr<IOleInPlaceSite> site;
    ASSERT_EQ(S_OK, box.Site()->QueryInterface(IID_IOleInPlaceSite, site.OutVoid()));
    const RECT wanted{10, 12, 60, 52};
    EXPECT_EQ(S_OK, site->OnPosRectChange(&wanted));
    EXPECT_TRUE(box.Called("OnPosRectChange 10,12,60,52")) << box.CallsText();
    EXPECT_TRUE(SameRect(wanted, box.SiteRect())) << RectText(box.SiteRect());
    EXPECT_TRUE(SameRect(wanted, RectInFrame(box.ControlWindow(), box.Frame())))
        << RectText(RectInFrame(box.ControlWindow(), box.Frame()));
}

TEST(TestContainer, StrictContainerStopsAtTheFirstDeclinedStep) {
    tc::TestContainer box;  // strict
    const HRESULT hr = box.Create(kPlayer, {96, 64});
    EXPECT_EQ(E_NOTIMPL, hr) << box.LastError();
    EXPECT_EQ("IOleObject::SetHostNames failed: 0x80004001", box.LastError());
    EXPECT_EQ(nullptr, box.Control());
    EXPECT_GE(StepIndex(box, "Close: IOleObject::SetClientSite(NULL)"), 0) << StepsText(box);
}

TEST(TestContainer, CreationFailuresNameTheStep) {
    struct Case { const wchar_t* name; HRESULT hr; const char* error; };
    const Case cases[] = {
        {L"{00000000-1111-2222-3333-444444444444}", REGDB_E_CLASSNOTREG, "CoCreateInstance failed: 0x80040154"},
        {L"No.Such.Control", CO_E_CLASSSTRING, "CLSIDFromProgID failed: 0x800401F3"},
        // A registered class that is no control: creating works, IOleObject does not.
        {L"{0000031A-0000-0000-C000-000000000046}" /* ClassMoniker */, E_NOINTERFACE,
         "QueryInterface IOleObject failed: 0x80004002"},
    };
    for (const Case& c : cases) {
        tc::TestContainer box;
        EXPECT_EQ(c.hr, box.Create(c.name, {32, 32}));
        EXPECT_EQ(c.error, box.LastError());
        EXPECT_EQ(nullptr, box.Control());
        EXPECT_EQ(nullptr, box.ControlWindow());
    }
}

TEST(TestContainer, SecondCreateWithoutCloseIsRefused) {
    tc::ContainerOptions options;
    options.strict = false;
    tc::TestContainer box(options);
    ASSERT_EQ(S_OK, box.Create(kPlayer, {40, 40})) << box.LastError();
    EXPECT_EQ(E_UNEXPECTED, box.Create(kPlayer, {40, 40}));
    ASSERT_EQ(S_OK, box.Close());
    EXPECT_EQ(S_OK, box.Create(kPlayer, {40, 40})) << box.LastError();
}

HRESULT GetAmbient(IOleClientSite* site, DISPID id, VARIANT* value) {
    fw::ComPtr<IDispatch> dispatch;
    HRESULT hr = site->QueryInterface(IID_IDispatch, dispatch.OutVoid());
    if (FAILED(hr)) return hr;
    DISPPARAMS none{};
    return dispatch->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, value, nullptr, nullptr);
}

TEST(TestContainer, SiteAnswersAmbientProperties) {
    tc::TestContainer box;
    struct Case { DISPID id; VARTYPE vt; LONG number; const wchar_t* text; };
    const Case cases[] = {
        {DISPID_AMBIENT_USERMODE, VT_BOOL, VARIANT_TRUE, nullptr},
        {DISPID_AMBIENT_BACKCOLOR, VT_I4, static_cast<LONG>(0x8000000F), nullptr},
        {DISPID_AMBIENT_FORECOLOR, VT_I4, static_cast<LONG>(0x80000012), nullptr},
        {DISPID_AMBIENT_LOCALEID, VT_I4, 0x0409, nullptr},
        {DISPID_AMBIENT_MESSAGEREFLECT, VT_BOOL, VARIANT_FALSE, nullptr},
        {DISPID_AMBIENT_SHOWHATCHING, VT_BOOL, VARIANT_FALSE, nullptr},
        {DISPID_AMBIENT_DISPLAYNAME, VT_BSTR, 0, L"Control1"},
    };
    for (const Case& c : cases) {
        fw::Variant value;
        ASSERT_EQ(S_OK, GetAmbient(box.Site(), c.id, &value)) << c.id;
        ASSERT_EQ(c.vt, value.vt) << c.id;
        if (c.vt == VT_BOOL) {
            EXPECT_EQ(c.number, value.boolVal) << c.id;
        }
        if (c.vt == VT_I4) {
            EXPECT_EQ(c.number, value.lVal) << c.id;
        }
        if (c.vt == VT_BSTR) {
            EXPECT_STREQ(c.text, value.bstrVal) << c.id;
        }
        EXPECT_TRUE(box.Called("Ambient " + std::to_string(c.id))) << box.CallsText();
    }

    fw::Variant font;
    ASSERT_EQ(S_OK, GetAmbient(box.Site(), DISPID_AMBIENT_FONT, &font));
    ASSERT_EQ(VT_DISPATCH, font.vt);
    fw::ComPtr<IFont> ifont;
    ASSERT_EQ(S_OK, font.pdispVal->QueryInterface(IID_IFont, ifont.OutVoid()));
    fw::Bstr name;
    CY size{};
    ifont->get_Name(name.OutPtr());
    ifont->get_Size(&size);
    EXPECT_STREQ(L"MS Sans Serif", name.Get());
    // 8 pt, or 8.25 once realized as 11 pixels (what form designers show for this font).
    EXPECT_TRUE(size.int64 == 80000 || size.int64 == 82500) << size.int64;

    fw::Variant unknown;
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, GetAmbient(box.Site(), -799, &unknown));

    VARIANT red;
    red.vt = VT_I4;
    red.lVal = 0x0000FF;
    ASSERT_EQ(S_OK, box.SetAmbient(DISPID_AMBIENT_BACKCOLOR, red));
    fw::Variant back;
    ASSERT_EQ(S_OK, GetAmbient(box.Site(), DISPID_AMBIENT_BACKCOLOR, &back));
    EXPECT_EQ(0x0000FF, back.lVal);
}

TEST(TestContainer, SiteOffersTheInterfacesOfAFormSite) {
    for (bool ex : {true, false}) {
        tc::ContainerOptions options;
        options.inPlaceSiteEx = ex;
        tc::TestContainer box(options);
        struct Case { const IID* iid; bool offered; const char* name; };
        const Case cases[] = {
            {&IID_IOleClientSite, true, "IOleClientSite"},   {&IID_IOleInPlaceSite, true, "IOleInPlaceSite"},
            {&IID_IOleInPlaceSiteEx, ex, "IOleInPlaceSiteEx"}, {&IID_IOleControlSite, true, "IOleControlSite"},
            {&IID_IAdviseSink, true, "IAdviseSink"},         {&IID_IDispatch, true, "IDispatch"},
            {&IID_IPropertyNotifySink, true, "IPropertyNotifySink"},
            {&IID_IOleInPlaceSiteWindowless, false, "IOleInPlaceSiteWindowless"},
        };
        for (const Case& c : cases) {
            fw::ComPtr<IUnknown> out;
            EXPECT_EQ(c.offered ? S_OK : E_NOINTERFACE, box.Site()->QueryInterface(*c.iid, out.OutVoid()))
                << c.name << (ex ? " (Ex offered)" : " (Ex not offered)");
        }
        fw::ComPtr<IOleContainer> container;
        EXPECT_EQ(S_OK, box.Site()->GetContainer(container.ReleaseAndGetAddressOf()));
        EXPECT_TRUE(box.Called("GetContainer"));
    }
}

TEST(TestContainer, SiteTransformsHimetricToPixels) {
    tc::TestContainer box;
    fw::ComPtr<IOleControlSite> site;
    ASSERT_EQ(S_OK, box.Site()->QueryInterface(IID_IOleControlSite, site.OutVoid()));
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);

    POINTL himetric{2540, 5080};
    POINTF pixels{};
    ASSERT_EQ(S_OK, site->TransformCoords(&himetric, &pixels, XFORMCOORDS_POSITION | XFORMCOORDS_HIMETRICTOCONTAINER));
    EXPECT_FLOAT_EQ(static_cast<float>(dpi), pixels.x);
    EXPECT_FLOAT_EQ(static_cast<float>(2 * dpi), pixels.y);
    POINTL back{};
    ASSERT_EQ(S_OK, site->TransformCoords(&back, &pixels, XFORMCOORDS_SIZE | XFORMCOORDS_CONTAINERTOHIMETRIC));
    EXPECT_EQ(2540, back.x);
    EXPECT_EQ(5080, back.y);
}

TEST(EventSink, AnswersItsInterfaceAndRecordsEvents) {
    const IID events = {0x59F1F326, 0x5523, 0x11D1, {0xA9, 0x5D, 0x00, 0x80, 0x5F, 0x6C, 0xFD, 0x10}};
    auto sink = tc::EventSink::Create(events);
    struct Case { const IID* iid; HRESULT hr; };
    const Case cases[] = {{&IID_IUnknown, S_OK}, {&IID_IDispatch, S_OK}, {&events, S_OK}, {&IID_IOleObject, E_NOINTERFACE}};
    for (const Case& c : cases) {
        fw::ComPtr<IUnknown> out;
        EXPECT_EQ(c.hr, sink->QueryInterface(*c.iid, out.OutVoid()));
    }
    DISPPARAMS none{};
    EXPECT_EQ(S_OK, sink->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr));
    EXPECT_EQ(S_OK, sink->Invoke(7, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr));
    EXPECT_EQ((std::vector<DISPID>{1, 7}), sink->Fired());
}

}  // namespace
