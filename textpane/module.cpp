// Textpane.ocx module: the table of its classes (the entry points are the framework's).
#include <windows.h>
#include "module_exports.h"
#include "textpane.h"
#include "textpane_ctrl.h"
#include "textpane_prop_page.h"

namespace {
const fw::ClassEntry kClasses[] = {
    {&CLSID_Textpane, CTextpaneCtrl::Create, CTextpaneCtrl::UpdateRegistry},
    {&CLSID_TextpanePropPage, CTextpanePropPage::Create, CTextpanePropPage::UpdateRegistry},
};
const fw::TypeLibInfo kTypeLib = {&LIBID_TextpaneLib, 1, 0, 0x409};
}  // namespace

const fw::ModuleDefinition g_moduleDefinition = {kClasses, sizeof kClasses / sizeof kClasses[0], &kTypeLib};
