// The frame window of the test container and its IOleInPlaceFrame / IOleContainer.
#include "inplace_frame.h"

#include <string>

namespace tc {
namespace {

const wchar_t kFrameClass[] = L"PortlexTestContainerFrame";

void RegisterFrameClass() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExW(GetModuleHandleW(nullptr), kFrameClass, &wc)) return;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);  // like a form
    wc.lpszClassName = kFrameClass;
    RegisterClassExW(&wc);
}

std::string Narrow(const wchar_t* text) {
    std::string out;
    for (; text && *text; ++text) out += *text < 128 ? static_cast<char>(*text) : '?';
    return out;
}

}  // namespace

fw::ComPtr<InPlaceFrame> InPlaceFrame::Create(std::shared_ptr<CallLog> log) {
    return fw::ComPtr<InPlaceFrame>(new InPlaceFrame(std::move(log)));
}

HWND InPlaceFrame::CreateFrameWindow(SIZE clientSize, const wchar_t* caption) {
    RegisterFrameClass();
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE;
    RECT outer{0, 0, clientSize.cx, clientSize.cy};
    AdjustWindowRectEx(&outer, style, FALSE, 0);
    return CreateWindowExW(0, kFrameClass, caption, style, 40, 40, outer.right - outer.left,
                           outer.bottom - outer.top, nullptr, nullptr, GetModuleHandleW(nullptr),
                           nullptr);
}

STDMETHODIMP InPlaceFrame::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleWindow || iid == IID_IOleInPlaceUIWindow ||
        iid == IID_IOleInPlaceFrame)
        *out = static_cast<IOleInPlaceFrame*>(this);
    else if (iid == IID_IParseDisplayName || iid == IID_IOleContainer)
        *out = static_cast<IOleContainer*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) InPlaceFrame::Release() {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
}

STDMETHODIMP InPlaceFrame::GetWindow(HWND* window) {
    log_->Add("Frame.GetWindow");
    if (!window) return E_POINTER;
    *window = window_;
    return window_ ? S_OK : E_FAIL;
}

STDMETHODIMP InPlaceFrame::ContextSensitiveHelp(BOOL) {
    log_->Add("Frame.ContextSensitiveHelp");
    return S_OK;
}

STDMETHODIMP InPlaceFrame::GetBorder(RECT* border) {
    log_->Add("Frame.GetBorder");
    if (!border) return E_POINTER;
    return GetClientRect(window_, border) ? S_OK : E_FAIL;
}

// A form has no toolbars to give: border space is refused, as forms do.
STDMETHODIMP InPlaceFrame::RequestBorderSpace(LPCBORDERWIDTHS) {
    log_->Add("Frame.RequestBorderSpace");
    return INPLACE_E_NOTOOLSPACE;
}

STDMETHODIMP InPlaceFrame::SetBorderSpace(LPCBORDERWIDTHS widths) {
    log_->Add("Frame.SetBorderSpace");
    if (!widths) return S_OK;
    const bool none = !widths->left && !widths->top && !widths->right && !widths->bottom;
    return none ? S_OK : OLE_E_INVALIDRECT;
}

STDMETHODIMP InPlaceFrame::SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) {
    log_->Add(object ? "Frame.SetActiveObject set" : "Frame.SetActiveObject null");
    active_ = fw::ComPtr<IOleInPlaceActiveObject>(object);
    return S_OK;
}

STDMETHODIMP InPlaceFrame::InsertMenus(HMENU, OLEMENUGROUPWIDTHS* widths) {
    log_->Add("Frame.InsertMenus");
    if (widths) for (LONG& w : widths->width) w = 0;
    return S_OK;
}

STDMETHODIMP InPlaceFrame::SetMenu(HMENU, HOLEMENU, HWND) {
    log_->Add("Frame.SetMenu");
    return S_OK;
}

STDMETHODIMP InPlaceFrame::RemoveMenus(HMENU) {
    log_->Add("Frame.RemoveMenus");
    return S_OK;
}

STDMETHODIMP InPlaceFrame::SetStatusText(LPCOLESTR text) {
    log_->Add("Frame.SetStatusText " + Narrow(text));
    return S_OK;
}

STDMETHODIMP InPlaceFrame::EnableModeless(BOOL enable) {
    log_->Add(enable ? "Frame.EnableModeless 1" : "Frame.EnableModeless 0");
    return S_OK;
}

STDMETHODIMP InPlaceFrame::TranslateAccelerator(MSG*, WORD) {
    log_->Add("Frame.TranslateAccelerator");
    return S_FALSE;  // no accelerators of our own
}

STDMETHODIMP InPlaceFrame::ParseDisplayName(IBindCtx*, LPOLESTR, ULONG*, IMoniker** out) {
    log_->Add("Frame.ParseDisplayName");
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP InPlaceFrame::EnumObjects(DWORD, IEnumUnknown** objects) {
    log_->Add("Frame.EnumObjects");
    if (objects) *objects = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP InPlaceFrame::LockContainer(BOOL lock) {
    log_->Add(lock ? "Frame.LockContainer 1" : "Frame.LockContainer 0");
    return S_OK;
}

}  // namespace tc
