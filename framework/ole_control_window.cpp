// OLE control base: the control's window, in-place activation and drawing (IViewObject2).
#include "ole_control.h"
#include "handles.h"

namespace fw {
namespace {

const int kHimetricPerInch = 2540;

SIZEL PixelsToHimetric(int width, int height) {
    WindowDc screen(nullptr);
    return {MulDiv(width, kHimetricPerInch, GetDeviceCaps(screen.Get(), LOGPIXELSX)),
            MulDiv(height, kHimetricPerInch, GetDeviceCaps(screen.Get(), LOGPIXELSY))};
}

}  // namespace

LRESULT CALLBACK OleControl::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* control = reinterpret_cast<OleControl*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!control) return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        if (control->window_ == window) control->window_ = nullptr;
        return DefWindowProcA(window, message, wParam, lParam);
    }
    LRESULT result = 0;
    if (control->OnWindowMessage(message, wParam, lParam, &result)) return result;
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT client;
        GetClientRect(window, &client);
        control->OnDraw(dc, dc, client, paint.rcPaint);
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool OleControl::CreateControlWindow(HWND parent, const RECT& pos, bool child) {
    WNDCLASSA wc = {};
    if (!::GetClassInfoA(Module::Instance(), info_.windowClass, &wc)) {
        wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;  // the picture depends on the whole size
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = Module::Instance();
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = info_.windowClass;
        if (!RegisterClassA(&wc)) return false;
    }
    DWORD style = child ? (WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS) : WS_POPUP;
    if (child && !enabled_) style |= WS_DISABLED;
    window_ = CreateWindowExA(0, info_.windowClass, "", style, pos.left, pos.top, pos.right - pos.left,
                              pos.bottom - pos.top, parent, nullptr, Module::Instance(), this);
    if (!window_) return false;
    windowIsChild_ = child;
    OnWindowCreated();
    return true;
}

void OleControl::DestroyControlWindow() {
    if (!window_) return;
    OnWindowDestroying();
    HWND window = window_;
    window_ = nullptr;
    DestroyWindow(window);
}

HWND OleControl::EnsureWindow() {
    if (!window_) {
        RECT none = {0, 0, 0, 0};
        CreateControlWindow(nullptr, none, false);
    }
    return window_;
}

void OleControl::RecreateControlWindow() {
    if (!window_) return;
    HWND parent = windowIsChild_ ? GetParent(window_) : nullptr;
    bool child = windowIsChild_;
    RECT pos = posRect_;
    if (!child) pos = {0, 0, 0, 0};
    DestroyControlWindow();
    CreateControlWindow(parent, pos, child);
}

void OleControl::InvalidateControl(const RECT* rect, bool erase) {
    if (window_ && windowIsChild_) InvalidateRect(window_, rect, erase);
    else if (viewSink_) viewSink_->OnViewChange(DVASPECT_CONTENT, -1);
}

void OleControl::SetControlSize(int width, int height) {
    SIZEL size = PixelsToHimetric(width, height);
    SetExtent(DVASPECT_CONTENT, &size);
    if (inPlaceSite_) {
        RECT pos = {posRect_.left, posRect_.top, posRect_.left + width, posRect_.top + height};
        inPlaceSite_->OnPosRectChange(&pos);
    } else if (site_) {
        site_->RequestNewObjectLayout();
    }
}

HRESULT OleControl::InPlaceActivate(LONG verb, HWND parentHint, LPCRECT posHint) {
    if (!site_) return E_UNEXPECTED;
    if (!inPlaceActive_) {
        inPlaceSite_ = site_.As<IOleInPlaceSite>(IID_IOleInPlaceSite);
        if (!inPlaceSite_) return E_NOINTERFACE;
        if (inPlaceSite_->CanInPlaceActivate() != S_OK) {
            inPlaceSite_.Reset();
            return E_FAIL;
        }
        inPlaceSite_->OnInPlaceActivate();
        inPlaceActive_ = true;
        HWND parent = nullptr;
        if (FAILED(inPlaceSite_->GetWindow(&parent)) || !parent) parent = parentHint;
        RECT pos = {0, 0, 0, 0}, clip = {0, 0, 0, 0};
        OLEINPLACEFRAMEINFO frameInfo = {sizeof frameInfo};
        inPlaceSite_->GetWindowContext(frame_.ReleaseAndGetAddressOf(), document_.ReleaseAndGetAddressOf(), &pos,
                                       &clip, &frameInfo);
        if (posHint) pos = *posHint;
        posRect_ = pos;
        // A hidden window of our own (made before any container came) gives way to the child.
        if (window_ && !windowIsChild_) DestroyControlWindow();
        if (!window_ && !CreateControlWindow(parent, pos, true)) {
            inPlaceSite_->OnInPlaceDeactivate();
            inPlaceActive_ = false;
            inPlaceSite_.Reset();
            return E_FAIL;
        }
    } else if (posHint) {
        SetObjectRects(posHint, posHint);
    }
    if (verb == OLEIVERB_UIACTIVATE && !uiActive_) {
        uiActive_ = true;
        inPlaceSite_->OnUIActivate();
        IOleInPlaceActiveObject* active = this;
        if (frame_) frame_->SetActiveObject(active, nullptr);
        if (document_) document_->SetActiveObject(active, nullptr);
    }
    ShowWindow(window_, SW_SHOWNA);
    return S_OK;
}

STDMETHODIMP OleControl::InPlaceDeactivate() {
    if (!inPlaceActive_) return S_OK;
    UIDeactivate();
    DestroyControlWindow();
    inPlaceActive_ = false;
    ComPtr<IOleInPlaceSite> site = std::move(inPlaceSite_);
    frame_.Reset();
    document_.Reset();
    if (site) site->OnInPlaceDeactivate();
    return S_OK;
}

STDMETHODIMP OleControl::UIDeactivate() {
    if (!uiActive_) return S_OK;
    uiActive_ = false;
    if (frame_) frame_->SetActiveObject(nullptr, nullptr);
    if (document_) document_->SetActiveObject(nullptr, nullptr);
    if (inPlaceSite_) inPlaceSite_->OnUIDeactivate(FALSE);
    return S_OK;
}

STDMETHODIMP OleControl::SetObjectRects(LPCRECT pos, LPCRECT) {
    if (!pos) return E_POINTER;
    posRect_ = *pos;
    if (window_ && windowIsChild_)
        MoveWindow(window_, pos->left, pos->top, pos->right - pos->left, pos->bottom - pos->top, TRUE);
    return S_OK;
}

STDMETHODIMP OleControl::GetWindow(HWND* window) {
    if (!window) return E_POINTER;
    *window = inPlaceActive_ ? window_ : nullptr;
    return *window ? S_OK : E_FAIL;
}

// ---- IViewObject2 ----

STDMETHODIMP OleControl::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE* device, HDC targetDc, HDC drawDc,
                              LPCRECTL bounds, LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!drawDc) return E_INVALIDARG;
    RECT rect;
    if (bounds) {
        rect = {bounds->left, bounds->top, bounds->right, bounds->bottom};
    } else if (window_) {
        GetClientRect(window_, &rect);
    } else {
        return E_INVALIDARG;
    }
    // Old-style metafiles answer no metrics: measure on the target device or the screen.
    HDC attributeDc = drawDc;
    UniqueMemoryDc infoDc;
    if (GetObjectType(drawDc) == OBJ_METADC) {
        if (targetDc) attributeDc = targetDc;
        else {
            infoDc.Reset(CreateICA("DISPLAY", nullptr, nullptr, nullptr));
            attributeDc = infoDc.Get();
        }
    }
    (void)device;
    int saved = SaveDC(drawDc);
    OnDraw(drawDc, attributeDc, rect, rect);
    RestoreDC(drawDc, saved);
    return S_OK;
}

STDMETHODIMP OleControl::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** out) {
    if (out) *out = nullptr;
    return S_FALSE;
}

STDMETHODIMP OleControl::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
    viewAspects_ = aspects;
    viewFlags_ = flags;
    viewSink_ = sink;
    if (sink && (flags & ADVF_PRIMEFIRST)) sink->OnViewChange(DVASPECT_CONTENT, -1);
    return S_OK;
}

STDMETHODIMP OleControl::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
    if (aspects) *aspects = viewAspects_;
    if (flags) *flags = viewFlags_;
    if (sink) {
        *sink = viewSink_.Get();
        if (*sink) (*sink)->AddRef();
    }
    return S_OK;
}

STDMETHODIMP OleControl::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
    return GetExtent(aspect, size);
}

}  // namespace fw
