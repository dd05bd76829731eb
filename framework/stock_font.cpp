// Stock font helpers.
#include "stock_font.h"

namespace fw {

ComPtr<IFont> CreateDefaultFont() {
    FONTDESC desc = {sizeof(FONTDESC), const_cast<LPOLESTR>(L"MS Sans Serif"), {{80000, 0}}, FW_NORMAL,
                     ANSI_CHARSET, FALSE, FALSE, FALSE};
    ComPtr<IFont> font;
    OleCreateFontIndirect(&desc, IID_IFont, font.OutVoid());
    return font;
}

ComPtr<IFont> CloneFont(IUnknown* source) {
    ComPtr<IFont> font, copy;
    if (!source || FAILED(source->QueryInterface(IID_IFont, font.OutVoid()))) return copy;
    font->Clone(copy.ReleaseAndGetAddressOf());
    return copy;
}

HFONT FontHandleFor(IFont* font, HDC dc) {
    if (!font) return nullptr;
    font->SetRatio(GetDeviceCaps(dc, LOGPIXELSY), 2540);
    HFONT handle = nullptr;
    font->get_hFont(&handle);
    return handle;
}

HRESULT SaveFont(IStream* stream, IFont* font) {
    BYTE flag = font ? 0 : 1;
    HRESULT hr = stream->Write(&flag, 1, nullptr);
    if (FAILED(hr) || !font) return hr;
    ComPtr<IPersistStream> persist;
    hr = font->QueryInterface(IID_IPersistStream, persist.OutVoid());
    if (FAILED(hr)) return hr;
    return OleSaveToStream(persist.Get(), stream);
}

HRESULT LoadFont(IStream* stream, ComPtr<IFont>* font) {
    BYTE flag = 1;
    ULONG read = 0;
    HRESULT hr = stream->Read(&flag, 1, &read);
    if (FAILED(hr) || read != 1) return E_FAIL;
    if (flag != 0) {
        font->Reset();
        return S_OK;
    }
    // The class id comes from the saved data: only the standard font is made from it, never
    // whatever class a damaged or hostile state names.
    CLSID clsid = {};
    hr = ReadClassStm(stream, &clsid);
    if (FAILED(hr)) return hr;
    if (!IsEqualCLSID(clsid, CLSID_StdFont)) return E_FAIL;
    ComPtr<IFont> loaded = CreateDefaultFont();
    ComPtr<IPersistStream> persist = loaded.As<IPersistStream>(IID_IPersistStream);
    if (!persist) return E_FAIL;
    hr = persist->Load(stream);
    if (FAILED(hr)) return hr;
    *font = loaded;
    return S_OK;
}

void* FontChangeSink::FindInterface(REFIID iid) {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPropertyNotifySink))
        return static_cast<IPropertyNotifySink*>(this);
    return nullptr;
}

void FontChangeSink::Connect(IFont* font) {
    Disconnect();
    if (!font) return;
    ComPtr<IConnectionPointContainer> container;
    if (FAILED(font->QueryInterface(IID_IConnectionPointContainer, container.OutVoid()))) return;
    if (FAILED(container->FindConnectionPoint(IID_IPropertyNotifySink, point_.ReleaseAndGetAddressOf()))) return;
    if (FAILED(point_->Advise(static_cast<IPropertyNotifySink*>(this), &cookie_))) point_.Reset();
}

void FontChangeSink::Disconnect() {
    if (point_) point_->Unadvise(cookie_);
    point_.Reset();
    cookie_ = 0;
}

STDMETHODIMP FontChangeSink::OnChanged(DISPID) {
    if (onChanged_) onChanged_();
    return S_OK;
}

}  // namespace fw
