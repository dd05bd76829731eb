// A modal dialog from the module's resources that ends on OK or Cancel (about boxes).
#pragma once
#include <windows.h>

namespace fw {

// Shows dialog template id of this module modally; owner may be null.
void ShowModalDialog(UINT id, HWND owner);
// A sensible owner for a modal window of a control: the top-level window of the
// control's window, else the thread's active window.
HWND ModalOwner(HWND controlWindow);

}  // namespace fw
