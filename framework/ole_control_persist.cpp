// OLE control base: the saved state in streams, property bags and storages.
//
// Stream layout: version (32 bits), extent width and height (HIMETRIC, 32 bits each), the
// mask of saved stock properties (32 bits), then each stock property of the mask in bit
// order: BackColor (32 bits), Caption (32-bit count of UTF-16 units, then the units),
// Font (see SaveFont), BorderStyle (16 bits), Enabled (32 bits).
#include "ole_control.h"
#include "bstr.h"

namespace fw {
namespace {

template <class T>
HRESULT Put(IStream* stream, const T& value) {
    ULONG written = 0;
    HRESULT hr = stream->Write(&value, sizeof value, &written);
    return FAILED(hr) ? hr : written == sizeof value ? S_OK : STG_E_MEDIUMFULL;
}

template <class T>
HRESULT Get(IStream* stream, T* value) {
    ULONG read = 0;
    HRESULT hr = stream->Read(value, sizeof *value, &read);
    return FAILED(hr) ? hr : read == sizeof *value ? S_OK : STG_E_READFAULT;
}

const DWORD kKnownStockBits = kStockBackColor | kStockCaption | kStockFont | kStockBorderStyle | kStockEnabled;
const DWORD kMaxCaptionUnits = 1 << 20;

HRESULT ReadBag(IPropertyBag* bag, IErrorLog* log, const wchar_t* name, VARTYPE type, Variant* value) {
    value->Clear();
    value->vt = type;
    return bag->Read(name, value, log);
}

}  // namespace

STDMETHODIMP OleControl::GetClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = *info_.clsid;
    return S_OK;
}

STDMETHODIMP OleControl::InitNew() {
    ResetStockProperties();
    loadedVersion_ = info_.savedStateVersion;
    SetModifiedFlag(false);
    return S_OK;
}

HRESULT OleControl::SaveState(IStream* stream) {
    const DWORD mask = info_.stockProperties & kKnownStockBits;
    HRESULT hr = Put(stream, info_.savedStateVersion);
    if (SUCCEEDED(hr)) hr = Put(stream, extent_.cx);
    if (SUCCEEDED(hr)) hr = Put(stream, extent_.cy);
    if (SUCCEEDED(hr)) hr = Put(stream, mask);
    if (SUCCEEDED(hr) && (mask & kStockBackColor)) hr = Put(stream, backColor_);
    if (SUCCEEDED(hr) && (mask & kStockCaption)) {
        DWORD units = static_cast<DWORD>(caption_.size());
        hr = Put(stream, units);
        if (SUCCEEDED(hr) && units) hr = stream->Write(caption_.data(), units * sizeof(wchar_t), nullptr);
    }
    if (SUCCEEDED(hr) && (mask & kStockFont)) hr = SaveFont(stream, font_.Get());
    if (SUCCEEDED(hr) && (mask & kStockBorderStyle)) hr = Put(stream, borderStyle_);
    if (SUCCEEDED(hr) && (mask & kStockEnabled)) hr = Put(stream, static_cast<DWORD>(enabled_));
    return hr;
}

HRESULT OleControl::LoadState(IStream* stream) {
    ResetStockProperties();
    DWORD version = 0, mask = 0;
    SIZEL extent = {0, 0};
    HRESULT hr = Get(stream, &version);
    if (SUCCEEDED(hr)) hr = Get(stream, &extent.cx);
    if (SUCCEEDED(hr)) hr = Get(stream, &extent.cy);
    if (SUCCEEDED(hr)) hr = Get(stream, &mask);
    if (FAILED(hr)) return hr;
    if (mask & ~kKnownStockBits) return E_FAIL;  // not a state we wrote
    loadedVersion_ = version;
    extent_ = extent;
    if (mask & kStockBackColor) {
        OLE_COLOR color = 0;
        if (FAILED(hr = Get(stream, &color))) return hr;
        backColor_ = color;
    }
    if (mask & kStockCaption) {
        DWORD units = 0;
        if (FAILED(hr = Get(stream, &units))) return hr;
        if (units > kMaxCaptionUnits) return E_FAIL;
        std::wstring caption(units, L'\0');
        ULONG read = 0;
        if (units && (FAILED(hr = stream->Read(caption.data(), units * sizeof(wchar_t), &read)) ||
                      read != units * sizeof(wchar_t)))
            return FAILED(hr) ? hr : STG_E_READFAULT;
        caption_ = caption;
    }
    if (mask & kStockFont) {
        ComPtr<IFont> font;
        if (FAILED(hr = LoadFont(stream, &font))) return hr;
        if (font) SetFont(font);
    }
    if (mask & kStockBorderStyle) {
        short style = 0;
        if (FAILED(hr = Get(stream, &style))) return hr;
        borderStyle_ = style;
    }
    if (mask & kStockEnabled) {
        DWORD enabled = 1;
        if (FAILED(hr = Get(stream, &enabled))) return hr;
        enabled_ = enabled != 0;
    }
    return S_OK;
}

STDMETHODIMP OleControl::Load(LPSTREAM stream) {
    if (!stream) return E_POINTER;
    HRESULT hr = LoadState(stream);
    SetModifiedFlag(false);
    InvalidateControl();
    return hr;
}

STDMETHODIMP OleControl::Save(LPSTREAM stream, BOOL clearDirty) {
    if (!stream) return E_POINTER;
    HRESULT hr = SaveState(stream);
    if (SUCCEEDED(hr) && clearDirty) SetModifiedFlag(false);
    return hr;
}

STDMETHODIMP OleControl::GetSizeMax(ULARGE_INTEGER* size) {
    if (!size) return E_POINTER;
    ComPtr<IStream> stream;
    HRESULT hr = CreateStreamOnHGlobal(nullptr, TRUE, stream.ReleaseAndGetAddressOf());
    if (SUCCEEDED(hr)) hr = SaveState(stream.Get());
    if (FAILED(hr)) return hr;
    LARGE_INTEGER zero = {};
    return stream->Seek(zero, STREAM_SEEK_CUR, size);
}

STDMETHODIMP OleControl::Load(IPropertyBag* bag, IErrorLog* log) {
    if (!bag) return E_POINTER;
    ResetStockProperties();
    Variant value;
    if (SUCCEEDED(ReadBag(bag, log, L"_Version", VT_I4, &value))) loadedVersion_ = value.lVal;
    if (SUCCEEDED(ReadBag(bag, log, L"_ExtentX", VT_I4, &value))) extent_.cx = value.lVal;
    if (SUCCEEDED(ReadBag(bag, log, L"_ExtentY", VT_I4, &value))) extent_.cy = value.lVal;
    const DWORD stock = info_.stockProperties;
    if ((stock & kStockBackColor) && SUCCEEDED(ReadBag(bag, log, L"BackColor", VT_I4, &value)))
        backColor_ = static_cast<OLE_COLOR>(value.lVal);
    if ((stock & kStockCaption) && SUCCEEDED(ReadBag(bag, log, L"Caption", VT_BSTR, &value)) && value.bstrVal)
        caption_.assign(value.bstrVal, SysStringLen(value.bstrVal));
    if ((stock & kStockFont) && SUCCEEDED(ReadBag(bag, log, L"Font", VT_DISPATCH, &value)) && value.pdispVal) {
        if (ComPtr<IFont> font = CloneFont(value.pdispVal)) SetFont(font);
    }
    if ((stock & kStockBorderStyle) && SUCCEEDED(ReadBag(bag, log, L"BorderStyle", VT_I2, &value)))
        borderStyle_ = value.iVal;
    if ((stock & kStockEnabled) && SUCCEEDED(ReadBag(bag, log, L"Enabled", VT_BOOL, &value)))
        enabled_ = value.boolVal != VARIANT_FALSE;
    SetModifiedFlag(false);
    InvalidateControl();
    return S_OK;
}

STDMETHODIMP OleControl::Save(IPropertyBag* bag, BOOL clearDirty, BOOL) {
    if (!bag) return E_POINTER;
    auto write = [bag](const wchar_t* name, VARIANT& value) { return bag->Write(name, &value); };
    Variant value;
    value.vt = VT_I4;
    value.lVal = static_cast<LONG>(info_.savedStateVersion);
    HRESULT hr = write(L"_Version", value);
    value.lVal = extent_.cx;
    if (SUCCEEDED(hr)) hr = write(L"_ExtentX", value);
    value.lVal = extent_.cy;
    if (SUCCEEDED(hr)) hr = write(L"_ExtentY", value);
    value.lVal = static_cast<LONG>(info_.stockProperties & kKnownStockBits);
    if (SUCCEEDED(hr)) hr = write(L"_StockProps", value);
    const DWORD stock = info_.stockProperties;
    if (SUCCEEDED(hr) && (stock & kStockBackColor)) {
        value.lVal = static_cast<LONG>(backColor_);
        hr = write(L"BackColor", value);
    }
    if (SUCCEEDED(hr) && (stock & kStockCaption)) {
        Variant text;
        text.vt = VT_BSTR;
        text.bstrVal = SysAllocStringLen(caption_.data(), static_cast<UINT>(caption_.size()));
        hr = write(L"Caption", text);
    }
    if (SUCCEEDED(hr) && (stock & kStockFont) && font_) {
        Variant font;
        font.vt = VT_DISPATCH;
        if (SUCCEEDED(font_->QueryInterface(IID_IFontDisp, reinterpret_cast<void**>(&font.pdispVal))))
            hr = write(L"Font", font);
    }
    if (SUCCEEDED(hr) && (stock & kStockBorderStyle)) {
        Variant style;
        style.vt = VT_I2;
        style.iVal = borderStyle_;
        hr = write(L"BorderStyle", style);
    }
    if (SUCCEEDED(hr) && (stock & kStockEnabled)) {
        Variant enabled;
        enabled.vt = VT_BOOL;
        enabled.boolVal = enabled_ ? VARIANT_TRUE : VARIANT_FALSE;
        hr = write(L"Enabled", enabled);
    }
    if (SUCCEEDED(hr) && clearDirty) SetModifiedFlag(false);
    return hr;
}

STDMETHODIMP OleControl::InitNew(IStorage*) { return InitNew(); }

STDMETHODIMP OleControl::Load(IStorage* storage) {
    if (!storage) return E_POINTER;
    ComPtr<IStream> stream;
    HRESULT hr = storage->OpenStream(L"Contents", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0,
                                     stream.ReleaseAndGetAddressOf());
    return FAILED(hr) ? hr : Load(stream.Get());
}

STDMETHODIMP OleControl::Save(IStorage* storage, BOOL) {
    if (!storage) return E_POINTER;
    ComPtr<IStream> stream;
    HRESULT hr = storage->CreateStream(L"Contents", STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0,
                                       stream.ReleaseAndGetAddressOf());
    return FAILED(hr) ? hr : Save(stream.Get(), TRUE);
}

}  // namespace fw
