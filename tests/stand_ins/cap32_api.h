// Cap32.dll loaded the way the control loads it: LoadLibrary by file name, each
// function looked up by its export name.
#pragma once
#include "telvora_api.h"
#include <windows.h>

struct Cap32Api {
    Cap32Api();
    ~Cap32Api();
    Cap32Api(const Cap32Api&) = delete;
    Cap32Api& operator=(const Cap32Api&) = delete;
    bool Complete() const;  // loaded, and all nine functions found

    HMODULE module = nullptr;
    CapInitUserFn initUser = nullptr;
    CapConnectPsFn connectPs = nullptr;
    CapInitConnFn initConn = nullptr;
    CapSetPsStateFn setPsState = nullptr;
    CapReceiveFn receive = nullptr;
    CapProcKeysFn procKeys = nullptr;
    CapTermConnFn termConn = nullptr;
    CapDisconnectFn disconnect = nullptr;
    CapTermUserFn termUser = nullptr;
};

// The records with the values the control passes.
CapUserRecord ControlUserRecord();
CapConnectPsRecord ControlConnectPsRecord(HWND owner);
CapInitConnRecord ControlInitConnRecord(const char* serviceName);
CapPsStateRecord PsStateRecord(WORD state);
CapKeysRecord KeysRecord(const char* text, DWORD length);
