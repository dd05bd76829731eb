// Drawing of the modem picture, scaled to the bounds it is given.
#include "modem_picture.h"
#include "handles.h"

namespace mscomm {
namespace {

// A point at the given fraction (in thousandths) of the bounds.
int At(LONG from, LONG to, int thousandths) { return from + MulDiv(to - from, thousandths, 1000); }

}  // namespace

void DrawModemPicture(HDC dc, const RECT& bounds, bool portOpen) {
    const LONG l = bounds.left, t = bounds.top, r = bounds.right, b = bounds.bottom;
    if (r - l < 4 || b - t < 4) return;
    fw::UniqueGdi<HBRUSH> face(CreateSolidBrush(GetSysColor(COLOR_BTNFACE)));
    FillRect(dc, &bounds, face.Get());

    const int thickness = (b - t) / 12 > 2 ? (b - t) / 12 : 2;
    fw::UniqueGdi<HPEN> outline(CreatePen(PS_SOLID, 1, RGB(48, 48, 48)));
    fw::UniqueGdi<HPEN> cord(CreatePen(PS_SOLID, thickness, RGB(0, 0, 0)));
    fw::UniqueGdi<HBRUSH> casing(CreateSolidBrush(RGB(168, 168, 168)));
    fw::UniqueGdi<HBRUSH> black(CreateSolidBrush(RGB(0, 0, 0)));
    fw::UniqueGdi<HBRUSH> light(CreateSolidBrush(portOpen ? RGB(0, 224, 0) : RGB(0, 72, 0)));

    // The modem's casing.
    {
        fw::SelectGuard pen(dc, outline.Get());
        fw::SelectGuard brush(dc, casing.Get());
        RoundRect(dc, At(l, r, 80), At(t, b, 520), At(l, r, 920), At(t, b, 900), (r - l) / 8, (b - t) / 8);
    }
    // Three lights along its front.
    {
        fw::SelectGuard pen(dc, outline.Get());
        fw::SelectGuard brush(dc, light.Get());
        const int radius = (r - l) / 20 > 1 ? (r - l) / 20 : 1;
        const int y = At(t, b, 720);
        for (int x : {At(l, r, 300), At(l, r, 500), At(l, r, 700)})
            Ellipse(dc, x - radius, y - radius, x + radius + 1, y + radius + 1);
    }
    // The handset: a bow and the two cups resting on the casing.
    {
        fw::SelectGuard pen(dc, cord.Get());
        const int top = At(t, b, 100), bottom = At(t, b, 700), middle = (top + bottom) / 2;
        Arc(dc, At(l, r, 180), top, At(l, r, 820), bottom, At(l, r, 820), middle, At(l, r, 180), middle);
    }
    {
        fw::SelectGuard pen(dc, outline.Get());
        fw::SelectGuard brush(dc, black.Get());
        RoundRect(dc, At(l, r, 100), At(t, b, 340), At(l, r, 330), At(t, b, 500), 4, 4);
        RoundRect(dc, At(l, r, 670), At(t, b, 340), At(l, r, 900), At(t, b, 500), 4, 4);
    }
}

}  // namespace mscomm
