// The Portlex control on a form: a fixed 32 x 32 picture. A container that gives it another
// size is asked for 32 x 32 and gets no drawing; at 32 x 32 it shows its idle icon on its
// BackColor. Checked in our form-style container and in Wine's ATL host.
#include <gtest/gtest.h>

#include <olectl.h>
#include <algorithm>
#include <cstdio>
#include <string>
#include "atl_host.h"
#include "capture.h"
#include "framework/bstr.h"
#include "icon_pictures.h"
#include "test_container.h"

namespace {

using hosted::kIconSize;

const uint32_t kMagenta = tc::Rgb(255, 0, 255);  // no colour of the 16-colour icons
const uint32_t kSea = tc::Rgb(10, 200, 120);      // nor this one

HWND ControlWindowOf(IUnknown* control) {
    fw::ComPtr<IOleInPlaceObject> inPlace;
    HWND window = nullptr;
    if (control && SUCCEEDED(control->QueryInterface(IID_IOleInPlaceObject, inPlace.OutVoid())) &&
        FAILED(inPlace->GetWindow(&window)))
        window = nullptr;
    return window;
}

HRESULT PutBackColor(IUnknown* control, uint32_t rgb) {
    fw::ComPtr<IDispatch> dispatch;
    HRESULT hr = control->QueryInterface(IID_IDispatch, dispatch.OutVoid());
    if (FAILED(hr)) return hr;
    fw::Variant value;
    value.vt = VT_I4;
    value.lVal = static_cast<LONG>(RGB(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF));  // an OLE_COLOR
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params = {&value, &named, 1, 1};
    return dispatch->Invoke(DISPID_BACKCOLOR, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr,
                            nullptr, nullptr);
}

// The sizes of "OnPosRectChange l,t,r,b" calls, as "32x32" each.
std::vector<std::string> RequestedSizes(const tc::TestContainer& box) {
    std::vector<std::string> sizes;
    for (const std::string& call : box.Calls()) {
        int l, t, r, b;
        if (std::sscanf(call.c_str(), "OnPosRectChange %d,%d,%d,%d", &l, &t, &r, &b) == 4)
            sizes.push_back(std::to_string(r - l) + "x" + std::to_string(b - t));
    }
    return sizes;
}

// The part of the window's client area inside its parent's client area, in window pixels.
tc::PixelRect VisiblePart(HWND window, HWND parent) {
    RECT client, inParent;
    GetClientRect(window, &client);
    GetClientRect(parent, &inParent);
    MapWindowPoints(parent, window, reinterpret_cast<POINT*>(&inParent), 2);
    RECT visible = {};
    IntersectRect(&visible, &client, &inParent);
    return tc::ToPixelRect(visible);
}

std::string SizeText(SIZE s) { return std::to_string(s.cx) + "x" + std::to_string(s.cy); }

class PortlexOnAForm : public ::testing::Test {
protected:
    void SetUp() override {
        module_ = hosted::RegisteredServerPath(hosted::kPortlexClsid);
        ASSERT_FALSE(module_.empty()) << "Portlex.ocx is not registered";
    }

    // The idle icon as DrawIconEx draws it on `background`.
    tc::Pixels IdleIconOn(uint32_t background) {
        std::string why;
        tc::Pixels picture = hosted::ReferenceIcon(module_, hosted::kIdleIcon, background, &why);
        EXPECT_FALSE(picture.Empty()) << why;
        return picture;
    }

    std::wstring module_;
};

TEST_F(PortlexOnAForm, ContainerGivingAnotherSizeIsAskedForThirtyTwoSquare) {
    const SIZE sizes[] = {{48, 48}, {32, 20}, {40, 32}, {20, 20}};
    for (const SIZE size : sizes) {
        SCOPED_TRACE(SizeText(size));
        tc::TestContainer box;
        ASSERT_EQ(S_OK, box.Create(hosted::kPortlexProgId, size)) << box.LastError();
        box.PumpMessages(100);
        const std::vector<std::string> asked = RequestedSizes(box);
        ASSERT_FALSE(asked.empty()) << box.CallsText();
        for (const std::string& s : asked) EXPECT_EQ("32x32", s) << box.CallsText();

        // The form granted it: the control's window is 32 x 32 and shows the idle icon where
        // the frame, made for the first size, does not clip it.
        HWND window = box.ControlWindow();
        ASSERT_NE(nullptr, window);
        const tc::Pixels shot = tc::CaptureWindow(window);
        ASSERT_EQ(kIconSize, shot.width);
        ASSERT_EQ(kIconSize, shot.height);
        const tc::PixelRect visible = VisiblePart(window, box.Frame());
        EXPECT_GE(visible.right - visible.left, std::min<int>(size.cx, kIconSize));
        EXPECT_GE(visible.bottom - visible.top, std::min<int>(size.cy, kIconSize));
        const tc::Pixels expected = IdleIconOn(hosted::WindowColour());
        EXPECT_EQ(0, hosted::CountDifferent(expected, shot, visible)) << tc::Histogram(shot, visible);
    }
}

TEST_F(PortlexOnAForm, DrawingIntoAnotherSizeDrawsNothingAndAsksAgain) {
    tc::TestContainer box;
    ASSERT_EQ(S_OK, box.Create(hosted::kPortlexProgId, {kIconSize, kIconSize})) << box.LastError();
    box.PumpMessages(50);
    EXPECT_TRUE(RequestedSizes(box).empty()) << box.CallsText();

    const SIZE sizes[] = {{48, 48}, {32, 33}, {64, 32}};
    for (const SIZE size : sizes) {
        SCOPED_TRACE(SizeText(size));
        box.ClearCalls();
        HRESULT hr = E_FAIL;
        const tc::Pixels drawn = tc::DrawWithViewObject(box.Control(), size, &hr, kMagenta);
        ASSERT_EQ(S_OK, hr);
        EXPECT_EQ(0, tc::CountOtherThan(drawn, drawn.Bounds(), kMagenta)) << tc::Histogram(drawn, drawn.Bounds());
        const std::vector<std::string> asked = RequestedSizes(box);
        ASSERT_EQ(1u, asked.size()) << box.CallsText();
        EXPECT_EQ("32x32", asked[0]);
    }
    // Into 32 x 32 it draws the idle icon on its BackColor (the window colour by default).
    HRESULT hr = E_FAIL;
    const tc::Pixels drawn = tc::DrawWithViewObject(box.Control(), {kIconSize, kIconSize}, &hr, kMagenta);
    ASSERT_EQ(S_OK, hr);
    EXPECT_EQ(0, hosted::CountDifferent(IdleIconOn(hosted::WindowColour()), drawn)) << tc::Histogram(drawn, drawn.Bounds());
}

TEST_F(PortlexOnAForm, AtlHostWithAnotherSizeGetsNoDrawing) {
    tc::AtlHost host;
    ASSERT_EQ(S_OK, host.Create(hosted::kPortlexProgId, {48, 48})) << host.LastError();
    host.PumpMessages(100);
    HWND window = ControlWindowOf(host.Control());
    ASSERT_NE(nullptr, window);
    const tc::Pixels shot = tc::CaptureWindow(window);
    ASSERT_FALSE(shot.Empty());
    // Wine's ATL site does not resize on request: the window keeps the size it was given
    // and shows only its erased background, no icon.
    EXPECT_EQ(48, shot.width);
    EXPECT_EQ(0, tc::CountOtherThan(shot, shot.Bounds(), hosted::WindowColour())) << tc::Histogram(shot, shot.Bounds());
}

// At 32 x 32 the idle icon, on the default BackColor and then on a BackColor set through
// IDispatch, which shows through the icon's transparent pixels.
TEST_F(PortlexOnAForm, IdleIconOnItsBackColorInBothHosts) {
    const tc::Pixels onMagenta = IdleIconOn(kMagenta), onSea = IdleIconOn(kSea);
    const std::vector<tc::PixelRect> transparent = hosted::DifferingPixels(onMagenta, onSea);
    ASSERT_FALSE(transparent.empty()) << "the idle icon has no transparent pixel";
    ASSERT_LT(transparent.size(), static_cast<size_t>(kIconSize * kIconSize)) << "nor is it all transparent";

    for (const bool atl : {false, true}) {
        SCOPED_TRACE(atl ? "AtlHost" : "TestContainer");
        tc::TestContainer box;
        tc::AtlHost host;
        HRESULT hr = atl ? host.Create(hosted::kPortlexProgId, {kIconSize, kIconSize})
                         : box.Create(hosted::kPortlexProgId, {kIconSize, kIconSize});
        ASSERT_EQ(S_OK, hr) << (atl ? host.LastError() : box.LastError());
        IUnknown* control = atl ? host.Control() : box.Control();
        auto pump = [&](DWORD ms) { atl ? host.PumpMessages(ms) : box.PumpMessages(ms); };
        pump(100);
        HWND window = ControlWindowOf(control);
        ASSERT_NE(nullptr, window);
        tc::Pixels shot = tc::CaptureWindow(window);
        EXPECT_EQ(0, hosted::CountDifferent(IdleIconOn(hosted::WindowColour()), shot)) << tc::Histogram(shot, shot.Bounds());

        ASSERT_EQ(S_OK, PutBackColor(control, kSea));
        pump(100);
        shot = tc::CaptureWindow(window);
        EXPECT_EQ(0, hosted::CountDifferent(onSea, shot)) << tc::Histogram(shot, shot.Bounds());
        const tc::PixelRect first = transparent.front();
        EXPECT_EQ(kSea, shot.At(first.left, first.top)) << first.left << "," << first.top;
        EXPECT_EQ(static_cast<int>(transparent.size()), tc::CountColor(shot, shot.Bounds(), kSea))
            << tc::Histogram(shot, shot.Bounds());
    }
}

}  // namespace
