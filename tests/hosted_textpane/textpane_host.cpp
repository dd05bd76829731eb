// Hosting the Textpane control and calling it through IDispatch.
#include "textpane_host.h"

#include "framework/bstr.h"
#include "framework/handles.h"
#include "hresult_text.h"

namespace hosted {

const wchar_t kTextpaneProgId[] = L"Textpane.TextpaneCtrl.10";

const char* HostName(HostKind kind) { return kind == HostKind::TestContainer ? "TestContainer" : "AtlHost"; }

void PrintTo(HostKind kind, std::ostream* out) { *out << HostName(kind); }

TextpaneHost::TextpaneHost(HostKind kind) : kind_(kind) {
    if (kind == HostKind::TestContainer) container_ = std::make_unique<tc::TestContainer>();
    else atl_ = std::make_unique<tc::AtlHost>();
}

HRESULT TextpaneHost::Create(SIZE pixels) {
    HRESULT hr = container_ ? container_->Create(kTextpaneProgId, pixels) : atl_->Create(kTextpaneProgId, pixels);
    if (FAILED(hr)) {
        lastError_ = container_ ? container_->LastError() : atl_->LastError();
        return hr;
    }
    hr = Control()->QueryInterface(IID_IDispatch, dispatch_.OutVoid());
    if (FAILED(hr)) {
        lastError_ = "QueryInterface IDispatch failed: " + tc::HresultText(hr);
        return hr;
    }
    if (!Window()) {
        lastError_ = std::string(HostName(kind_)) + ": the control has no window";
        return E_FAIL;
    }
    Pump(100);  // the first paint measures the row height that IO scrolls by
    return S_OK;
}

IUnknown* TextpaneHost::Control() const { return container_ ? container_->Control() : atl_->Control(); }

HWND TextpaneHost::Window() const {
    fw::ComPtr<IOleInPlaceObject> inPlace;
    HWND window = nullptr;
    if (Control() && SUCCEEDED(Control()->QueryInterface(IID_IOleInPlaceObject, inPlace.OutVoid())) &&
        FAILED(inPlace->GetWindow(&window)))
        window = nullptr;
    return window;
}

void TextpaneHost::Pump(DWORD ms) {
    if (container_) container_->PumpMessages(ms);
    else atl_->PumpMessages(ms);
}

void TextpaneHost::Destroy() {
    dispatch_.Reset();
    if (container_) container_->Close();
    else atl_->Destroy();
}

HRESULT WriteText(IDispatch* textpane, const char* text) {
    fw::Variant argument;
    argument.vt = VT_BSTR;
    argument.bstrVal = fw::Bstr::FromAnsi(text).Detach();
    DISPPARAMS params = {&argument, nullptr, 1, 0};
    return textpane->Invoke(1, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
}

fw::ComPtr<IFont> GetFont(IDispatch* control) {
    fw::Variant value;
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    fw::ComPtr<IFont> font;
    if (SUCCEEDED(control->Invoke(DISPID_FONT, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &value,
                                  nullptr, nullptr)) &&
        value.vt == VT_DISPATCH && value.pdispVal)
        value.pdispVal->QueryInterface(IID_IFont, font.OutVoid());
    return font;
}

HRESULT PutFont(IDispatch* control, IFont* font) {
    fw::Variant value;
    value.vt = VT_DISPATCH;
    HRESULT hr = font->QueryInterface(IID_IFontDisp, reinterpret_cast<void**>(&value.pdispVal));
    if (FAILED(hr)) return hr;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params = {&value, &named, 1, 1};
    return control->Invoke(DISPID_FONT, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr,
                           nullptr, nullptr);
}

fw::ComPtr<IFont> MakeFont(const wchar_t* name, LONGLONG sizeTimes10000, SHORT weight) {
    FONTDESC description = {sizeof description, const_cast<LPOLESTR>(name), {}, weight, ANSI_CHARSET,
                            FALSE, FALSE, FALSE};
    description.cySize.int64 = sizeTimes10000;
    fw::ComPtr<IFont> font;
    OleCreateFontIndirect(&description, IID_IFont, font.OutVoid());
    return font;
}

std::string FontText(IFont* font) {
    if (!font) return "(no font)";
    fw::Bstr name;
    CY size = {};
    font->get_Name(name.OutPtr());
    font->get_Size(&size);
    return fw::BstrToAnsi(name.Get()) + " " + std::to_string(size.int64);
}

int RowHeightOf(IFont* font) {
    fw::ComPtr<IFont> copy;
    if (!font || FAILED(font->Clone(copy.ReleaseAndGetAddressOf()))) return 0;
    fw::WindowDc screen(nullptr);
    copy->SetRatio(GetDeviceCaps(screen.Get(), LOGPIXELSY), 2540);
    HFONT handle = nullptr;
    if (FAILED(copy->get_hFont(&handle))) return 0;
    fw::SelectGuard select(screen.Get(), handle);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(screen.Get(), &metrics);
    return metrics.tmHeight + metrics.tmExternalLeading;
}

}  // namespace hosted
