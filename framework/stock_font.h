// The stock Font property: an OLE font object, its default, its persistence in a
// stream, and a sink that reports changes made through the font object itself.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <olectl.h>
#include <functional>
#include "com_object.h"
#include "com_ptr.h"

namespace fw {

// "MS Sans Serif", 8 points: the font used when neither saved state nor container gives one.
ComPtr<IFont> CreateDefaultFont();
// An independent copy of a font (containers hand out fonts we must not change).
ComPtr<IFont> CloneFont(IUnknown* font);
// The font's GDI handle for drawing on dc, scaled to that device's resolution.
// The handle belongs to the font object.
HFONT FontHandleFor(IFont* font, HDC dc);

// Saved form: a flag byte (0: a font object follows, 1: none), then the font object as
// OleSaveToStream writes it (its class id, then its own data).
HRESULT SaveFont(IStream* stream, IFont* font);
HRESULT LoadFont(IStream* stream, ComPtr<IFont>* font);

// Listens to a font's IPropertyNotifySink connection point and calls back on change.
class FontChangeSink : public ComObject<IPropertyNotifySink> {
public:
    explicit FontChangeSink(std::function<void()> onChanged) : onChanged_(std::move(onChanged)) {}
    void Connect(IFont* font);
    void Disconnect();

    STDMETHODIMP OnChanged(DISPID) override;
    STDMETHODIMP OnRequestEdit(DISPID) override { return S_OK; }

private:
    void* FindInterface(REFIID iid) override;
    std::function<void()> onChanged_;
    ComPtr<IConnectionPoint> point_;
    DWORD cookie_ = 0;
};

}  // namespace fw
