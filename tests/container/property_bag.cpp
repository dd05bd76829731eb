// The test container's in-memory property bag.
#include "property_bag.h"

#include <cwctype>

namespace tc {
namespace {

std::string Narrow(const wchar_t* text) {
    std::string out;
    for (; text && *text; ++text) out += *text < 128 ? static_cast<char>(*text) : '?';
    return out;
}

HRESULT Rewind(IStream* stream) {
    LARGE_INTEGER zero{};
    return stream->Seek(zero, STREAM_SEEK_SET, nullptr);
}

}  // namespace

bool PropertyBag::NoCase::operator()(const std::wstring& a, const std::wstring& b) const {
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        const wint_t x = std::towlower(a[i]), y = std::towlower(b[i]);
        if (x != y) return x < y;
    }
    return a.size() < b.size();
}

fw::ComPtr<PropertyBag> PropertyBag::Create() {
    return fw::ComPtr<PropertyBag>(new PropertyBag());
}

std::vector<std::wstring> PropertyBag::Names() const {
    std::vector<std::wstring> names;
    for (const auto& item : values_) names.push_back(item.first);
    return names;
}

STDMETHODIMP PropertyBag::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IPropertyBag) return E_NOINTERFACE;
    *out = static_cast<IPropertyBag*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) PropertyBag::Release() {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
}

HRESULT PropertyBag::SaveObject(IUnknown* object, Entry* entry) {
    fw::ComPtr<IPersistStream> persist;
    HRESULT hr = object->QueryInterface(IID_IPersistStream, persist.OutVoid());
    if (FAILED(hr)) {
        // IPersistStreamInit has the layout of IPersistStream plus InitNew at the end.
        hr = object->QueryInterface(IID_IPersistStreamInit, persist.OutVoid());
        if (FAILED(hr)) return hr;
    }
    CLSID clsid{};
    if (FAILED(hr = persist->GetClassID(&clsid))) return hr;
    fw::ComPtr<IStream> stream;
    if (FAILED(hr = CreateStreamOnHGlobal(nullptr, TRUE, stream.ReleaseAndGetAddressOf()))) return hr;
    if (FAILED(hr = WriteClassStm(stream.Get(), clsid))) return hr;
    if (FAILED(hr = persist->Save(stream.Get(), TRUE))) return hr;
    entry->objectState = stream;
    return S_OK;
}

HRESULT PropertyBag::LoadObject(const Entry& entry, VARIANT* value) {
    IStream* stream = entry.objectState.Get();
    HRESULT hr = Rewind(stream);
    CLSID clsid{};
    if (SUCCEEDED(hr)) hr = ReadClassStm(stream, &clsid);
    fw::ComPtr<IUnknown> object;
    if (SUCCEEDED(hr))
        hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, object.OutVoid());
    if (FAILED(hr)) return hr;
    fw::ComPtr<IPersistStream> persist;
    if (FAILED(object->QueryInterface(IID_IPersistStream, persist.OutVoid())) &&
        FAILED(hr = object->QueryInterface(IID_IPersistStreamInit, persist.OutVoid())))
        return hr;
    if (FAILED(hr = persist->Load(stream))) return hr;
    if (entry.objectType == VT_DISPATCH) {
        fw::ComPtr<IDispatch> dispatch;
        if (FAILED(hr = object->QueryInterface(IID_IDispatch, dispatch.OutVoid()))) return hr;
        value->vt = VT_DISPATCH;
        value->pdispVal = dispatch.Detach();
    } else {
        value->vt = VT_UNKNOWN;
        value->punkVal = object.Detach();
    }
    return S_OK;
}

STDMETHODIMP PropertyBag::Read(LPCOLESTR name, VARIANT* value, IErrorLog*) {
    if (!name || !value) return E_POINTER;
    log_.push_back("Read " + Narrow(name));
    auto it = values_.find(name);
    if (it == values_.end()) return E_INVALIDARG;
    const Entry& entry = *it->second;
    const VARTYPE wanted = value->vt;
    VariantInit(value);

    if (entry.objectState) {
        HRESULT hr = LoadObject(entry, value);
        if (FAILED(hr) || wanted == VT_EMPTY || wanted == value->vt) return hr;
        fw::Variant loaded;
        *static_cast<VARIANT*>(&loaded) = *value;  // takes the reference
        VariantInit(value);
        return VariantChangeType(value, &loaded, 0, wanted);
    }
    if (wanted == VT_EMPTY || wanted == entry.value.vt)
        return VariantCopy(value, const_cast<fw::Variant*>(&entry.value));
    return VariantChangeType(value, const_cast<fw::Variant*>(&entry.value), 0, wanted);
}

STDMETHODIMP PropertyBag::Write(LPCOLESTR name, VARIANT* value) {
    if (!name || !value) return E_POINTER;
    log_.push_back("Write " + Narrow(name));
    auto entry = std::make_unique<Entry>();
    IUnknown* object = nullptr;
    if (value->vt == VT_UNKNOWN) object = value->punkVal;
    if (value->vt == VT_DISPATCH) object = value->pdispVal;
    if (object && SUCCEEDED(SaveObject(object, entry.get()))) {
        entry->objectType = value->vt;
    } else {
        HRESULT hr = VariantCopy(&entry->value, value);
        if (FAILED(hr)) return hr;
    }
    values_[name] = std::move(entry);
    return S_OK;
}

}  // namespace tc
