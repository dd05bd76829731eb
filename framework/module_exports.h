// The four exports and DllMain of a COM server module, written once: each module
// defines g_moduleDefinition with the table of its classes and its type library.
#pragma once
#include "module.h"
#include "registration.h"

namespace fw {

struct ModuleDefinition {
    const ClassEntry* classes;
    size_t classCount;
    const TypeLibInfo* typeLib;  // null when the module has none to register
};

}  // namespace fw

extern const fw::ModuleDefinition g_moduleDefinition;
