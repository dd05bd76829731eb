// The ambient properties the test container's site answers through IDispatch, with the
// values a form container gives a control on a fresh form.
#pragma once
#include <ole2.h>
#include <map>
#include <memory>
#include "framework/bstr.h"

namespace tc {

class AmbientProperties {
public:
    // UserMode TRUE, BackColor/ForeColor the button-face system colours (as OLE_COLOR),
    // Font an IFontDisp of "MS Sans Serif" 8 pt, LocaleID 0x0409, DisplayName "Control1",
    // MessageReflect FALSE (this container reflects nothing), ShowGrabHandles and
    // ShowHatching FALSE, UIDead FALSE, SupportsMnemonics FALSE, AutoClip TRUE,
    // Appearance 1 (3-D), TextAlign 0, ScaleUnits "Pixel".
    AmbientProperties();

    // A copy of the value; DISP_E_MEMBERNOTFOUND for an ambient this container does not have.
    HRESULT Get(DISPID id, VARIANT* value) const;
    HRESULT Set(DISPID id, const VARIANT& value);
    bool Has(DISPID id) const { return values_.count(id) != 0; }

private:
    void SetBool(DISPID id, bool value);
    void SetI4(DISPID id, LONG value);
    void SetI2(DISPID id, SHORT value);
    void SetString(DISPID id, const wchar_t* value);

    std::map<DISPID, std::unique_ptr<fw::Variant>> values_;
};

}  // namespace tc
