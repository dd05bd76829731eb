// The Textpane control: identity, IO, drawing and the about box.
#include "textpane_ctrl.h"
#include <cstring>
#include "about_box.h"
#include "handles.h"
#include "registration.h"
#include "resource.h"
#include "textpane.h"

namespace {

const DWORD kSavedStateVersion = 0x00010000;  // 1.0
const DWORD kMiscStatus = OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST | OLEMISC_INSIDEOUT |
                          OLEMISC_CANTLINKINSIDE | OLEMISC_RECOMPOSEONRESIZE;
// The standard OLE font page is the one listed; our own page is registered only.
const CLSID kFontPropertyPage = {0x0BE35200, 0x8F91, 0x11CE, {0x9D, 0xE3, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51}};
const fw::TypeLibInfo kTypeLib = {&LIBID_TextpaneLib, 1, 0, 0x409};

const fw::ControlClassInfo kClassInfo = {
    &CLSID_Textpane, &DIID__DTextpane, &DIID__DTextpaneEvents, fw::kStockFont, kSavedStateVersion, kMiscStatus,
    IDS_TEXTPANE_TYPE_NAME, &kFontPropertyPage, 1, "TextpaneControlWindow"};

}  // namespace

CTextpaneCtrl::CTextpaneCtrl() : fw::OleControl(kClassInfo) {}

HRESULT CTextpaneCtrl::Create(REFIID iid, void** out) { return fw::CreateInstance<CTextpaneCtrl>(iid, out); }

HRESULT CTextpaneCtrl::UpdateRegistry(bool registering) {
    if (!registering) return fw::UnregisterClassKeys(CLSID_Textpane, "Textpane.TextpaneCtrl.10");
    const fw::ClassRegistration reg = {&CLSID_Textpane, "Textpane.TextpaneCtrl.10", IDS_TEXTPANE_TYPE_NAME,
                                       "Apartment", true, false, kMiscStatus, IDB_TEXTPANE, &kTypeLib};
    return fw::RegisterClassKeys(reg);
}

HRESULT CTextpaneCtrl::InvokeControlMember(DISPID id, WORD kind, fw::DispatchArgs& args, VARIANT*, EXCEPINFO*) {
    if (id == 1 && kind == DISPATCH_METHOD) {
        IO(args.Ansi(0).c_str());
        return S_OK;
    }
    return DISP_E_MEMBERNOTFOUND;
}

void CTextpaneCtrl::IO(const char* text) {
    textpane::ScreenModel::WriteResult written;
    {
        fw::ScopedLock lock(m_screenLock);
        written = m_screen.Write(text);
    }
    const textpane::RepaintPlan plan = textpane::PlanRepaint(written, m_nLineHeight);
    if (!plan.any) return;
    HWND window = Window();
    if (!window) {
        InvalidateControl();  // no window: tell the container's view sink
        return;
    }
    if (plan.scrollPixels) {
        ScrollWindow(window, 0, -plan.scrollPixels, nullptr, nullptr);
        InvalidateRect(window, nullptr, FALSE);
    } else {
        RECT rect;
        GetClientRect(window, &rect);
        rect.top = plan.invalidateTop;
        InvalidateRect(window, &rect, plan.erase);
    }
    UpdateWindow(window);
}

void CTextpaneCtrl::OnDraw(HDC dc, HDC attributeDc, const RECT& bounds, const RECT&) {
    char rows[textpane::ScreenModel::kRows][textpane::ScreenModel::kColumns];
    {
        fw::ScopedLock lock(m_screenLock);
        for (int r = 0; r < textpane::ScreenModel::kRows; ++r)
            std::memcpy(rows[r], m_screen.RowText(r), textpane::ScreenModel::kColumns);
    }
    HFONT font = fw::FontHandleFor(StockFont(), attributeDc);
    fw::SelectGuard selectOutput(dc, font);
    fw::SelectGuard selectAttribute(attributeDc, attributeDc != dc ? font : nullptr);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(attributeDc, &metrics);
    const int lineHeight = metrics.tmHeight + metrics.tmExternalLeading;
    if (lineHeight <= 0) return;
    // Only the window's own painting decides how far IO scrolls its pixels.
    if (Window() && WindowFromDC(dc) == Window()) m_nLineHeight = lineHeight;
    for (int r = 0; r < textpane::ScreenModel::kRows; ++r) {
        const int y = bounds.top + r * lineHeight;
        if (y >= bounds.bottom) break;
        ExtTextOutA(dc, bounds.left, y, ETO_CLIPPED, &bounds, rows[r], textpane::ScreenModel::kColumns, nullptr);
        SIZE extent = {};
        GetTextExtentPoint32A(attributeDc, rows[r], textpane::ScreenModel::kColumns, &extent);
        // White fill hides what a wider row left at the end of this one.
        const int textRight = bounds.left + extent.cx;
        if (textRight < bounds.right) {
            const int bottom = y + lineHeight < bounds.bottom ? y + lineHeight : bounds.bottom;
            PatBlt(dc, textRight, y, bounds.right - textRight, bottom - y, WHITENESS);
        }
    }
}

void CTextpaneCtrl::OnAboutBox() { fw::ShowModalDialog(IDD_TEXTPANE_ABOUT, fw::ModalOwner(Window())); }
