// Finding a control's default source (event) interface and connecting sinks to its
// connection points, the way a form container wires up event handlers.
#pragma once
#include <ocidl.h>

namespace tc {

// IProvideClassInfo2::GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID); when the control lacks that,
// the [default, source] interface of the coclass from IProvideClassInfo::GetClassInfo.
HRESULT FindDefaultSourceInterface(IUnknown* control, IID* source);

// IConnectionPointContainer::FindConnectionPoint(iid), then Advise / Unadvise.
HRESULT AdviseConnectionPoint(IUnknown* control, REFIID iid, IUnknown* sink, DWORD* cookie);
HRESULT UnadviseConnectionPoint(IUnknown* control, REFIID iid, DWORD cookie);

}  // namespace tc
