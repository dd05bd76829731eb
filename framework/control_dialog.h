// A modeless dialog from the module's resources whose template may name ActiveX controls
// by CLSID as their window class ("{...}"). Each such control is created in place of its
// template item, with the saved state that the template's initialisation data (resource
// type 240, load-from-stream records) gives it, and answers GetDlgItem by its id.
#pragma once
#include <windows.h>
#include <vector>
#include "com_ptr.h"
#include "control_site.h"

namespace fw {

class ControlDialog {
public:
    explicit ControlDialog(UINT templateId) : templateId_(templateId) {}
    virtual ~ControlDialog();
    ControlDialog(const ControlDialog&) = delete;
    ControlDialog& operator=(const ControlDialog&) = delete;

    // Creates the dialog on the calling thread; false when the dialog or one of its
    // controls cannot be made (then no window is left).
    bool Create(HWND parent);
    HWND Handle() const { return window_; }
    void DestroyWindow();
    // The dispatch interface of the hosted control with this dialog id, or null.
    IDispatch* ControlDispatch(int id) const;

protected:
    virtual BOOL OnInitDialog() { return TRUE; }
    // WM_COMMAND; return true when handled.
    virtual bool OnCommand(WORD id, WORD code) { return false; }
    virtual void OnCancel() {}

private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    bool CreateHostedControls();
    void DestroyHostedControls();

    struct Hosted {
        int id;
        ComPtr<ControlSite> site;
    };
    UINT templateId_;
    HWND window_ = nullptr;
    bool controlsFailed_ = false;
    std::vector<Hosted> hosted_;
};

// Parsing of the two resources involved; exposed for tests.
struct TemplateControl {
    int id;
    std::wstring className;
};
// The items of a dialog template (DIALOG or DIALOGEX) whose class is a string.
std::vector<TemplateControl> NamedClassItems(const void* dialogTemplate, size_t size);
// The load-from-stream data for control id in a dialog's initialisation records.
bool FindControlInitData(const BYTE* records, size_t size, int id, const BYTE** data, size_t* dataSize);

}  // namespace fw
