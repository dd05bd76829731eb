// Window capture and IViewObject drawing into memory DCs and metafiles, with a window and a
// view object of known pictures.
#include <gtest/gtest.h>

#include <ole2.h>
#include "capture.h"
#include "framework/com_ptr.h"
#include "framework/handles.h"
#include "message_pump.h"

namespace {

const uint32_t kBlue = tc::Rgb(0, 0, 255);
const uint32_t kYellow = tc::Rgb(255, 255, 0);
const uint32_t kGreen = tc::Rgb(0, 128, 0);
const uint32_t kRed = tc::Rgb(255, 0, 0);

COLORREF ToColorref(uint32_t rgb) { return RGB(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF); }

void Fill(HDC dc, const RECT& r, uint32_t rgb) {
    fw::UniqueGdi<HBRUSH> brush(CreateSolidBrush(ToColorref(rgb)));
    FillRect(dc, &r, brush.Get());
}

// Left half blue, right half yellow.
LRESULT CALLBACK TwoColourProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message != WM_PAINT) return DefWindowProcW(window, message, w, l);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    Fill(dc, {0, 0, client.right / 2, client.bottom}, kBlue);
    Fill(dc, {client.right / 2, 0, client.right, client.bottom}, kYellow);
    EndPaint(window, &ps);
    return 0;
}

TEST(Capture, WindowClientAreaAsPainted) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = TwoColourProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"CaptureTestTwoColours";
    RegisterClassW(&wc);
    fw::UniqueWindow window(CreateWindowExW(0, wc.lpszClassName, L"capture", WS_POPUP | WS_VISIBLE,
                                            100, 100, 120, 60, nullptr, nullptr, wc.hInstance, nullptr));
    ASSERT_TRUE(window) << GetLastError();
    UpdateWindow(window.Get());
    tc::PumpMessages(50);

    const tc::Pixels shot = tc::CaptureWindow(window.Get());
    ASSERT_EQ(120, shot.width);
    ASSERT_EQ(60, shot.height);
    EXPECT_EQ(60 * 60, tc::CountColor(shot, {0, 0, 60, 60}, kBlue)) << tc::Histogram(shot, {0, 0, 60, 60});
    EXPECT_EQ(60 * 60, tc::CountColor(shot, {60, 0, 120, 60}, kYellow)) << tc::Histogram(shot, {60, 0, 120, 60});
    EXPECT_TRUE(tc::CaptureWindow(nullptr).Empty());
}

// A view object that fills its bounds green with a red rectangle in the middle half, and
// remembers what kind of DC it was given and whether lprcWBounds came with it.
class TestView final : public IViewObject {
public:
    DWORD dcType = 0;
    bool gotWindowBounds = false;
    int draws = 0;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        *out = nullptr;
        if (iid != IID_IUnknown && iid != IID_IViewObject) return E_NOINTERFACE;
        *out = static_cast<IViewObject*>(this);
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }  // lives on the test's stack
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds,
                      LPCRECTL windowBounds, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) override {
        if (aspect != DVASPECT_CONTENT || !bounds) return DV_E_DVASPECT;
        ++draws;
        dcType = GetObjectType(dc);
        gotWindowBounds = windowBounds != nullptr;
        const LONG w = bounds->right - bounds->left, h = bounds->bottom - bounds->top;
        Fill(dc, {bounds->left, bounds->top, bounds->right, bounds->bottom}, kGreen);
        Fill(dc, {bounds->left + w / 4, bounds->top + h / 4, bounds->left + 3 * w / 4, bounds->top + 3 * h / 4}, kRed);
        return S_OK;
    }
    STDMETHODIMP GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE**) override { return E_NOTIMPL; }
    STDMETHODIMP Freeze(DWORD, LONG, void*, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP Unfreeze(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP SetAdvise(DWORD, DWORD, IAdviseSink*) override { return E_NOTIMPL; }
    STDMETHODIMP GetAdvise(DWORD*, DWORD*, IAdviseSink**) override { return E_NOTIMPL; }
};

// 64 x 48: green border 16 / 12 pixels wide around a red 32 x 24 middle. The areas checked
// keep two pixels away from the edges, where scaling a metafile may round.
void ExpectPicture(const tc::Pixels& p) {
    ASSERT_EQ(64, p.width);
    ASSERT_EQ(48, p.height);
    const tc::PixelRect middle{18, 14, 46, 34}, corner{2, 2, 14, 10};
    EXPECT_EQ(28 * 20, tc::CountColor(p, middle, kRed)) << tc::Histogram(p, middle);
    EXPECT_EQ(12 * 8, tc::CountColor(p, corner, kGreen)) << tc::Histogram(p, corner);
    EXPECT_EQ(0, tc::CountColor(p, p.Bounds(), tc::Rgb(255, 255, 255))) << tc::Histogram(p, p.Bounds());
}

TEST(Capture, ViewObjectDrawsIntoMemoryDc) {
    TestView view;
    HRESULT hr = E_UNEXPECTED;
    const tc::Pixels p = tc::DrawWithViewObject(&view, {64, 48}, &hr);
    EXPECT_EQ(S_OK, hr);
    EXPECT_EQ(static_cast<DWORD>(OBJ_MEMDC), view.dcType);
    EXPECT_FALSE(view.gotWindowBounds);
    ExpectPicture(p);
}

TEST(Capture, MetafileRoundTripKeepsThePicture) {
    struct Case { tc::MetafileKind kind; DWORD dcType; bool windowBounds; const char* name; };
    const Case cases[] = {
        {tc::MetafileKind::Enhanced, OBJ_ENHMETADC, false, "enhanced"},
        {tc::MetafileKind::Windows, OBJ_METADC, true, "windows"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestView view;
        tc::Pixels p;
        HRESULT hr = E_UNEXPECTED;
        ASSERT_TRUE(tc::DrawIntoMetafile(&view, {64, 48}, &p, c.kind, &hr)) << std::hex << hr;
        EXPECT_EQ(S_OK, hr);
        EXPECT_EQ(1, view.draws);
        EXPECT_EQ(c.dcType, view.dcType);
        EXPECT_EQ(c.windowBounds, view.gotWindowBounds);
        ExpectPicture(p);
    }
}

TEST(Capture, ObjectWithoutViewObjectIsReported) {
    fw::ComPtr<IStream> notAView;
    ASSERT_EQ(S_OK, CreateStreamOnHGlobal(nullptr, TRUE, notAView.ReleaseAndGetAddressOf()));
    HRESULT hr = S_OK;
    EXPECT_TRUE(tc::DrawWithViewObject(notAView.Get(), {8, 8}, &hr).Empty());
    EXPECT_EQ(E_NOINTERFACE, hr);
    tc::Pixels p;
    EXPECT_FALSE(tc::DrawIntoMetafile(notAView.Get(), {8, 8}, &p, tc::MetafileKind::Enhanced, &hr));
    EXPECT_EQ(E_NOINTERFACE, hr);
    EXPECT_TRUE(p.Empty());
}

}  // namespace
