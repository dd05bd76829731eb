// Loading Cap32.dll and the records of the control's calls.
#include "cap32_api.h"

namespace {

template <class Fn>
void Resolve(HMODULE module, const char* name, Fn& out) {
    out = module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

}  // namespace

Cap32Api::Cap32Api() : module(LoadLibraryA(kCapLibraryName)) {
    Resolve(module, kCapInitUserName, initUser);
    Resolve(module, kCapConnectPsName, connectPs);
    Resolve(module, kCapInitConnName, initConn);
    Resolve(module, kCapSetPsStateName, setPsState);
    Resolve(module, kCapReceiveName, receive);
    Resolve(module, kCapProcKeysName, procKeys);
    Resolve(module, kCapTermConnName, termConn);
    Resolve(module, kCapDisconnectName, disconnect);
    Resolve(module, kCapTermUserName, termUser);
}

Cap32Api::~Cap32Api() {
    if (module) FreeLibrary(module);
}

bool Cap32Api::Complete() const {
    return module && initUser && connectPs && initConn && setPsState && receive && procKeys && termConn &&
           disconnect && termUser;
}

CapUserRecord ControlUserRecord() { return {10, "MML", "UserName", "Kelmitux", 0, 0, 1}; }

CapConnectPsRecord ControlConnectPsRecord(HWND owner) { return {0, 0, 3, 0, owner, 0}; }

CapInitConnRecord ControlInitConnRecord(const char* serviceName) { return {1, 0, serviceName}; }

CapPsStateRecord PsStateRecord(WORD state) { return {state, 0}; }

CapKeysRecord KeysRecord(const char* text, DWORD length) { return {0, text, length, 0, 0}; }
