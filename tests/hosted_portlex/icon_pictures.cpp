// Reference pictures of the Portlex icons.
#include "icon_pictures.h"

#include <algorithm>
#include <cstring>
#include "framework/handles.h"

namespace hosted {

const wchar_t kPortlexProgId[] = L"PORTLEX.PortlexCtrl.1";
const wchar_t kPortlexClsid[] = L"{59F1F327-5523-11D1-A95D-00805F6CFD10}";

std::wstring RegisteredServerPath(const wchar_t* clsid) {
    const std::wstring key = std::wstring(L"CLSID\\") + clsid + L"\\InprocServer32";
    wchar_t path[MAX_PATH] = {};
    LONG size = sizeof path;
    return RegQueryValueW(HKEY_CLASSES_ROOT, key.c_str(), path, &size) == ERROR_SUCCESS ? path : L"";
}

tc::Pixels ReferenceIcon(const std::wstring& modulePath, UINT id, uint32_t background, std::string* why) {
    fw::UniqueModule module(LoadLibraryExW(modulePath.c_str(), nullptr, 0));
    if (!module) {
        *why = "LoadLibraryEx of the registered module failed: " + std::to_string(GetLastError());
        return {};
    }
    fw::UniqueIcon icon(static_cast<HICON>(
        LoadImageW(module.Get(), MAKEINTRESOURCEW(id), IMAGE_ICON, kIconSize, kIconSize, 0)));
    if (!icon) {
        *why = "LoadImage of icon " + std::to_string(id) + " failed: " + std::to_string(GetLastError());
        return {};
    }
    fw::WindowDc screen(nullptr);
    fw::UniqueMemoryDc dc(CreateCompatibleDC(screen.Get()));
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kIconSize;
    info.bmiHeader.biHeight = -kIconSize;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    fw::UniqueGdi<HBITMAP> bitmap(CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dc || !bitmap || !bits) {
        *why = "no memory DC";
        return {};
    }
    {
        fw::SelectGuard select(dc.Get(), bitmap.Get());
        fw::UniqueGdi<HBRUSH> brush(CreateSolidBrush(RGB(background >> 16, (background >> 8) & 0xFF, background & 0xFF)));
        RECT all = {0, 0, kIconSize, kIconSize};
        FillRect(dc.Get(), &all, brush.Get());
        DrawIconEx(dc.Get(), 0, 0, icon.Get(), kIconSize, kIconSize, 0, nullptr, DI_NORMAL);
        GdiFlush();
    }
    tc::Pixels out;
    out.width = out.height = kIconSize;
    out.data.resize(kIconSize * kIconSize);
    std::memcpy(out.data.data(), bits, out.data.size() * sizeof(uint32_t));
    for (uint32_t& p : out.data) p &= 0xFFFFFF;
    return out;
}

std::vector<tc::PixelRect> DifferingPixels(const tc::Pixels& a, const tc::Pixels& b) {
    std::vector<tc::PixelRect> out;
    for (int y = 0; y < a.height && y < b.height; ++y)
        for (int x = 0; x < a.width && x < b.width; ++x)
            if (a.At(x, y) != b.At(x, y)) out.push_back({x, y, x + 1, y + 1});
    return out;
}

int CountDifferent(const tc::Pixels& a, const tc::Pixels& b) { return CountDifferent(a, b, a.Bounds()); }

int CountDifferent(const tc::Pixels& a, const tc::Pixels& b, const tc::PixelRect& area) {
    if (a.width != b.width || a.height != b.height) return a.width * a.height + b.width * b.height;
    int count = 0;
    for (int y = std::max(area.top, 0); y < std::min(area.bottom, a.height); ++y)
        for (int x = std::max(area.left, 0); x < std::min(area.right, a.width); ++x)
            count += a.At(x, y) != b.At(x, y);
    return count;
}

uint32_t WindowColour() {
    const COLORREF c = GetSysColor(COLOR_WINDOW);
    return tc::Rgb(GetRValue(c), GetGValue(c), GetBValue(c));
}

}  // namespace hosted
