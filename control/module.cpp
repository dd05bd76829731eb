// Portlex.ocx module: the table of its classes (the entry points are the framework's).
#include <winsock2.h>
#include <windows.h>
#include "module_exports.h"
#include "portlex.h"
#include "portlex_ctrl.h"

const fw::TypeLibInfo& PortlexTypeLib();

namespace {
const fw::ClassEntry kClasses[] = {
    {&CLSID_Portlex, CPortlexCtrl::Create, CPortlexCtrl::UpdateRegistry},
};
}  // namespace

const fw::ModuleDefinition g_moduleDefinition = {kClasses, sizeof kClasses / sizeof kClasses[0], &PortlexTypeLib()};
