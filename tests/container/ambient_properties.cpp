// Default ambient values of the test container and their storage.
#include "ambient_properties.h"

#include <olectl.h>
#include "framework/com_ptr.h"

namespace tc {

AmbientProperties::AmbientProperties() {
    SetBool(DISPID_AMBIENT_USERMODE, true);
    SetI4(DISPID_AMBIENT_BACKCOLOR, static_cast<LONG>(0x80000000 | COLOR_BTNFACE));
    SetI4(DISPID_AMBIENT_FORECOLOR, static_cast<LONG>(0x80000000 | COLOR_BTNTEXT));
    SetI4(DISPID_AMBIENT_LOCALEID, 0x0409);
    SetString(DISPID_AMBIENT_DISPLAYNAME, L"Control1");
    SetBool(DISPID_AMBIENT_MESSAGEREFLECT, false);
    SetBool(DISPID_AMBIENT_SHOWGRABHANDLES, false);
    SetBool(DISPID_AMBIENT_SHOWHATCHING, false);
    SetBool(DISPID_AMBIENT_UIDEAD, false);
    SetBool(DISPID_AMBIENT_SUPPORTSMNEMONICS, false);
    SetBool(DISPID_AMBIENT_AUTOCLIP, true);
    SetI2(DISPID_AMBIENT_APPEARANCE, 1);
    SetI2(DISPID_AMBIENT_TEXTALIGN, 0);
    SetString(DISPID_AMBIENT_SCALEUNITS, L"Pixel");

    wchar_t face[] = L"MS Sans Serif";
    FONTDESC desc{sizeof(FONTDESC), face, {}, FW_NORMAL, ANSI_CHARSET, FALSE, FALSE, FALSE};
    desc.cySize.int64 = 8 * 10000;  // CY: points scaled by 10000
    fw::ComPtr<IFontDisp> font;
    if (SUCCEEDED(OleCreateFontIndirect(&desc, IID_IFontDisp, font.OutVoid()))) {
        VARIANT v;
        v.vt = VT_DISPATCH;
        v.pdispVal = font.Get();
        Set(DISPID_AMBIENT_FONT, v);
    }
}

HRESULT AmbientProperties::Get(DISPID id, VARIANT* value) const {
    if (!value) return E_POINTER;
    auto it = values_.find(id);
    if (it == values_.end()) return DISP_E_MEMBERNOTFOUND;
    return VariantCopy(value, it->second.get());
}

HRESULT AmbientProperties::Set(DISPID id, const VARIANT& value) {
    auto copy = std::make_unique<fw::Variant>();
    HRESULT hr = VariantCopy(copy.get(), const_cast<VARIANT*>(&value));
    if (SUCCEEDED(hr)) values_[id] = std::move(copy);
    return hr;
}

void AmbientProperties::SetBool(DISPID id, bool value) {
    VARIANT v;
    v.vt = VT_BOOL;
    v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    Set(id, v);
}

void AmbientProperties::SetI4(DISPID id, LONG value) {
    VARIANT v;
    v.vt = VT_I4;
    v.lVal = value;
    Set(id, v);
}

void AmbientProperties::SetI2(DISPID id, SHORT value) {
    VARIANT v;
    v.vt = VT_I2;
    v.iVal = value;
    Set(id, v);
}

void AmbientProperties::SetString(DISPID id, const wchar_t* value) {
    fw::Bstr text(value);
    VARIANT v;
    v.vt = VT_BSTR;
    v.bstrVal = text.Get();
    Set(id, v);  // copies the string
}

}  // namespace tc
