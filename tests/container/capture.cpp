// Window capture and IViewObject drawing into 32-bit DIB sections and metafiles.
#include "capture.h"

#include <ole2.h>
#include <cstring>
#include "framework/com_ptr.h"
#include "framework/handles.h"

namespace tc {
namespace {

// A memory DC with a top-down 32-bit DIB section selected into it.
class DibCanvas {
public:
    DibCanvas(int width, int height) : width_(width), height_(height) {
        if (width <= 0 || height <= 0) return;
        fw::WindowDc screen(nullptr);
        dc_.Reset(CreateCompatibleDC(screen.Get()));
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // top-down: row 0 is the top row
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        bitmap_.Reset(CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits_, nullptr, 0));
        if (dc_ && bitmap_) old_ = SelectObject(dc_.Get(), bitmap_.Get());
    }
    ~DibCanvas() { if (old_) SelectObject(dc_.Get(), old_); }
    DibCanvas(const DibCanvas&) = delete;
    DibCanvas& operator=(const DibCanvas&) = delete;

    bool Ok() const { return dc_ && bitmap_ && bits_; }
    HDC Dc() const { return dc_.Get(); }

    void Fill(uint32_t rgb) {
        const COLORREF color = RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
        fw::UniqueGdi<HBRUSH> brush(CreateSolidBrush(color));
        RECT all{0, 0, width_, height_};
        FillRect(dc_.Get(), &all, brush.Get());
    }

    Pixels Read() const {
        GdiFlush();
        Pixels out;
        out.width = width_;
        out.height = height_;
        out.data.resize(static_cast<size_t>(width_) * height_);
        std::memcpy(out.data.data(), bits_, out.data.size() * sizeof(uint32_t));
        for (uint32_t& p : out.data) p &= 0xFFFFFF;  // the fourth byte is not a colour
        return out;
    }

private:
    int width_, height_;
    fw::UniqueMemoryDc dc_;
    fw::UniqueGdi<HBITMAP> bitmap_;
    void* bits_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

struct EnhMetafileTraits {
    static HENHMETAFILE Invalid() { return nullptr; }
    static void Close(HENHMETAFILE h) { DeleteEnhMetaFile(h); }
};
struct MetafileTraits {
    static HMETAFILE Invalid() { return nullptr; }
    static void Close(HMETAFILE h) { DeleteMetaFile(h); }
};

HRESULT Draw(IUnknown* object, HDC dc, const RECTL& bounds, const RECTL* windowBounds) {
    if (!object) return E_POINTER;
    fw::ComPtr<IUnknown> unknown(object);
    auto view = unknown.As<IViewObject>(IID_IViewObject);
    if (!view) return E_NOINTERFACE;
    return view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds,
                      windowBounds, nullptr, 0);
}

bool RecordEnhanced(IUnknown* object, SIZE size, DibCanvas& canvas, HRESULT* result) {
    fw::WindowDc reference(nullptr);
    // The frame is in 0.01 mm of the reference device, so that it maps back to `size` pixels.
    const int mmWide = GetDeviceCaps(reference.Get(), HORZSIZE);
    const int mmHigh = GetDeviceCaps(reference.Get(), VERTSIZE);
    const int pxWide = GetDeviceCaps(reference.Get(), HORZRES);
    const int pxHigh = GetDeviceCaps(reference.Get(), VERTRES);
    RECT frame{0, 0, MulDiv(size.cx, mmWide * 100, pxWide), MulDiv(size.cy, mmHigh * 100, pxHigh)};
    HDC recorder = CreateEnhMetaFileW(reference.Get(), nullptr, &frame, nullptr);
    if (!recorder) return false;
    const RECTL bounds{0, 0, size.cx, size.cy};
    *result = Draw(object, recorder, bounds, nullptr);
    fw::UniqueOwner<HENHMETAFILE, EnhMetafileTraits> metafile(CloseEnhMetaFile(recorder));
    if (FAILED(*result) || !metafile) return false;
    RECT target{0, 0, size.cx, size.cy};
    return PlayEnhMetaFile(canvas.Dc(), metafile.Get(), &target) != FALSE;
}

bool RecordWindows(IUnknown* object, SIZE size, DibCanvas& canvas, HRESULT* result) {
    HDC recorder = CreateMetaFileW(nullptr);
    if (!recorder) return false;
    SetWindowOrgEx(recorder, 0, 0, nullptr);
    SetWindowExtEx(recorder, size.cx, size.cy, nullptr);
    const RECTL bounds{0, 0, size.cx, size.cy};
    const RECTL windowBounds{0, 0, size.cx, size.cy};
    *result = Draw(object, recorder, bounds, &windowBounds);
    fw::UniqueOwner<HMETAFILE, MetafileTraits> metafile(CloseMetaFile(recorder));
    if (FAILED(*result) || !metafile) return false;
    // Played back the way a METAFILEPICT is: anisotropic mapping onto the target size.
    HDC dc = canvas.Dc();
    const int saved = SaveDC(dc);
    SetMapMode(dc, MM_ANISOTROPIC);
    SetViewportOrgEx(dc, 0, 0, nullptr);
    SetViewportExtEx(dc, size.cx, size.cy, nullptr);
    SetWindowExtEx(dc, size.cx, size.cy, nullptr);
    const bool played = PlayMetaFile(dc, metafile.Get()) != FALSE;
    RestoreDC(dc, saved);
    return played;
}

}  // namespace

Pixels CaptureWindow(HWND window) {
    RECT client{};
    if (!IsWindow(window) || !GetClientRect(window, &client)) return {};
    DibCanvas canvas(client.right, client.bottom);
    if (!canvas.Ok()) return {};
    fw::WindowDc source(window);
    if (!source.Get() ||
        !BitBlt(canvas.Dc(), 0, 0, client.right, client.bottom, source.Get(), 0, 0, SRCCOPY))
        return {};
    return canvas.Read();
}

Pixels DrawWithViewObject(IUnknown* object, SIZE size, HRESULT* result, uint32_t background) {
    HRESULT hr = E_FAIL;
    Pixels out;
    DibCanvas canvas(size.cx, size.cy);
    if (canvas.Ok()) {
        canvas.Fill(background);
        hr = Draw(object, canvas.Dc(), RECTL{0, 0, size.cx, size.cy}, nullptr);
        if (SUCCEEDED(hr)) out = canvas.Read();
    }
    if (result) *result = hr;
    return out;
}

bool DrawIntoMetafile(IUnknown* object, SIZE size, Pixels* playedBack, MetafileKind kind,
                      HRESULT* result, uint32_t background) {
    HRESULT hr = E_FAIL;
    bool ok = false;
    DibCanvas canvas(size.cx, size.cy);
    if (canvas.Ok()) {
        canvas.Fill(background);
        ok = kind == MetafileKind::Enhanced ? RecordEnhanced(object, size, canvas, &hr)
                                            : RecordWindows(object, size, canvas, &hr);
        if (ok && playedBack) *playedBack = canvas.Read();
    }
    if (result) *result = hr;
    return ok;
}

}  // namespace tc
