// MSComm32.ocx module: the table of its one class (the entry points are the framework's).
#include <windows.h>
#include "module_exports.h"
#include "mscomm.h"
#include "mscomm_ctrl.h"

namespace {
const fw::ClassEntry kClasses[] = {
    {&CLSID_MSComm, CMSCommCtrl::Create, CMSCommCtrl::UpdateRegistry},
};
}  // namespace

const fw::ModuleDefinition g_moduleDefinition = {kClasses, sizeof kClasses / sizeof kClasses[0],
                                                 &CMSCommCtrl::kTypeLib};
