// Pictures of controls: the client area of a window as it is on screen, and what a control
// draws through IViewObject into a memory DC or into a metafile (as containers print).
#pragma once
#include <windows.h>
#include <unknwn.h>
#include "pixels.h"

namespace tc {

// BitBlt of the window's client area from its DC into a 32-bit DIB section. Paint first
// (UpdateWindow or TestContainer::PumpMessages): this reads what is there, it paints nothing.
// Empty when the window has no client area.
Pixels CaptureWindow(HWND window);

// IViewObject::Draw(DVASPECT_CONTENT) into a memory DC holding a 32-bit DIB of `size`,
// filled with `background` (0x00RRGGBB) before the call. Empty on failure; *result (when
// given) receives the HRESULT of Draw, or of the missing IViewObject.
Pixels DrawWithViewObject(IUnknown* object, SIZE size, HRESULT* result = nullptr,
                          uint32_t background = 0xFFFFFF);

enum class MetafileKind {
    Enhanced,  // CreateEnhMetaFile; lprcWBounds is NULL, as OleDraw passes it
    Windows,   // old-style CreateMetaFile (CF_METAFILEPICT); window origin/extent set and
               // passed as lprcWBounds, the way a container builds a metafile picture
};

// IViewObject::Draw into a metafile DC of `size` pixels, then plays the metafile back into a
// 32-bit DIB filled with `background` and returns those pixels in *playedBack. False when
// Draw or any GDI step failed (*result, when given, receives the HRESULT of Draw).
bool DrawIntoMetafile(IUnknown* object, SIZE size, Pixels* playedBack,
                      MetafileKind kind = MetafileKind::Enhanced, HRESULT* result = nullptr,
                      uint32_t background = 0xFFFFFF);

// Pixels of the window's client rectangle `r` as a PixelRect (for CountColor and friends).
inline PixelRect ToPixelRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

}  // namespace tc
