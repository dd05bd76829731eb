// An in-memory IPropertyBag, as a form keeps a control's properties when it saves them as text.
// Names compare case-insensitively. Object values (VT_UNKNOWN, VT_DISPATCH, e.g. the Font)
// are persisted on Write through the object's IPersistStream(Init) into a stream that starts
// with its CLSID, and made again on Read (a new object, loaded from that stream); an object
// without stream persistence is kept as it is.
#pragma once
#include <ocidl.h>
#include <map>
#include <memory>
#include <string>
#include <vector>
#include "framework/bstr.h"
#include "framework/com_ptr.h"

namespace tc {

class PropertyBag final : public IPropertyBag {
public:
    static fw::ComPtr<PropertyBag> Create();

    // Read/Write calls as "Read Name" / "Write Name" in the order they came.
    const std::vector<std::string>& Log() const { return log_; }
    std::vector<std::wstring> Names() const;
    bool Has(const wchar_t* name) const { return values_.count(name) != 0; }
    size_t Size() const { return values_.size(); }
    void Clear() { values_.clear(); }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override;
    // IPropertyBag. Read: E_INVALIDARG for an unknown name; the value converted to the
    // caller's pVar->vt unless that is VT_EMPTY (or an object type for an object value).
    STDMETHODIMP Read(LPCOLESTR name, VARIANT* value, IErrorLog* errors) override;
    STDMETHODIMP Write(LPCOLESTR name, VARIANT* value) override;

private:
    struct Entry {
        fw::Variant value;                  // plain values; VT_EMPTY for a persisted object
        fw::ComPtr<IStream> objectState;    // CLSID + IPersistStream data of an object
        VARTYPE objectType = VT_EMPTY;      // VT_UNKNOWN or VT_DISPATCH as it was written
    };
    struct NoCase {
        bool operator()(const std::wstring& a, const std::wstring& b) const;
    };

    PropertyBag() = default;
    ~PropertyBag() = default;
    static HRESULT SaveObject(IUnknown* object, Entry* entry);
    static HRESULT LoadObject(const Entry& entry, VARIANT* value);

    ULONG refs_ = 0;
    std::map<std::wstring, std::unique_ptr<Entry>, NoCase> values_;
    std::vector<std::string> log_;
};

}  // namespace tc
