// Simple modal dialogs.
#include "about_box.h"
#include "module.h"

namespace fw {
namespace {

INT_PTR CALLBACK SimpleDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        break;
    }
    return FALSE;
}

}  // namespace

void ShowModalDialog(UINT id, HWND owner) {
    DialogBoxParamA(Module::Instance(), MAKEINTRESOURCEA(id), owner, SimpleDialogProc, 0);
}

HWND ModalOwner(HWND controlWindow) {
    HWND owner = controlWindow ? GetAncestor(controlWindow, GA_ROOT) : nullptr;
    if (owner && !IsWindowVisible(owner)) owner = nullptr;  // our own hidden window
    return owner ? owner : GetActiveWindow();
}

}  // namespace fw
