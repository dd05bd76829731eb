// What the Portlex control should look like: its icon resources, loaded from the registered
// Portlex.ocx and drawn by DrawIconEx onto a filled 32 x 32 picture, as the control draws.
#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include "pixels.h"

namespace hosted {

extern const wchar_t kPortlexProgId[];
extern const wchar_t kPortlexClsid[];
const int kIconSize = 32;
const UINT kIdleIcon = 1;

// The InprocServer32 path registered for the class; empty when it is not registered.
std::wstring RegisteredServerPath(const wchar_t* clsid);

// Icon `id` of the module drawn at 0,0 on a 32 x 32 picture filled with `background`
// (0x00RRGGBB). Empty when the module or the icon cannot be loaded; *why says which.
tc::Pixels ReferenceIcon(const std::wstring& modulePath, UINT id, uint32_t background, std::string* why);

// Pixels where two pictures differ, e.g. the icon's transparent ones when drawn on two
// backgrounds; as a rectangle list of single pixels for CountColor and friends.
std::vector<tc::PixelRect> DifferingPixels(const tc::Pixels& a, const tc::Pixels& b);
// Pixels of `area` (the whole pictures when not given) that differ; pictures of different
// sizes differ everywhere.
int CountDifferent(const tc::Pixels& a, const tc::Pixels& b);
// The system's window colour, which the control's default BackColor stands for.
uint32_t WindowColour();
int CountDifferent(const tc::Pixels& a, const tc::Pixels& b, const tc::PixelRect& area);

}  // namespace hosted
