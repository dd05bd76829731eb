// The Telvora capture library (Cap32.dll) as Portlex calls it: the nine exported
// functions, their argument records and the status values both sides rely on.
// Portlex and our own Cap32.dll include this one header, so caller and callee
// cannot disagree on a record layout or a calling convention.
#pragma once
#include <windows.h>

// File name the control loads, and the export names it looks up.
constexpr char kCapLibraryName[] = "Cap32.dll";
constexpr char kCapInitUserName[] = "_cap_inituser";
constexpr char kCapConnectPsName[] = "_cap_connectps";
constexpr char kCapInitConnName[] = "_cap_initconn";
constexpr char kCapSetPsStateName[] = "_cap_setpsstate";
constexpr char kCapReceiveName[] = "_cap_receive";
constexpr char kCapProcKeysName[] = "_cap_prockeys";
constexpr char kCapTermConnName[] = "_cap_termconn";
constexpr char kCapDisconnectName[] = "_cap_disconect";  // the library's own spelling
constexpr char kCapTermUserName[] = "_cap_termuser";

// 16-bit statuses. 0 is success; the others are the ones the control reacts to.
using CapStatus = WORD;
constexpr CapStatus kCapStatusOk = 0;
constexpr CapStatus kCapStatusNoEmulator = 896;         // 0x0380, from _cap_connectps
constexpr CapStatus kCapStatusUndefinedService = 768;   // 0x0300, from _cap_initconn
constexpr CapStatus kCapStatusNothingWaiting = 2816;    // 0x0B00, from _cap_receive: no error

// Presentation space states for _cap_setpsstate.
constexpr WORD kCapStateShow = 270;
constexpr WORD kCapStateHide = 266;

// Connection handle returned by _cap_connectps; 0 means failure.
using CapHandle = DWORD;

// The session block, passed by address to every call. Its first two words carry
// status codes; when _cap_connectps returns 0 the status is word2 | word1.
// The rest belongs to the library.
struct CapSessionBlock {
    WORD status1;
    WORD status2;
    BYTE library[204];
};
static_assert(sizeof(CapSessionBlock) == 208, "session block is 208 bytes");

inline CapStatus CapSessionStatus(const CapSessionBlock& session) {
    return static_cast<CapStatus>(session.status2 | session.status1);
}

// _cap_inituser: seven 32-bit fields, texts as pointers.
struct CapUserRecord {
    DWORD version;            // 10
    const char* application;  // "MML"
    const char* userName;     // "UserName"
    const char* password;     // "Kelmitux"
    DWORD reserved1;          // 0
    DWORD reserved2;          // 0
    DWORD flags;              // 1
};
static_assert(sizeof(CapUserRecord) == 28, "seven 32-bit fields");
constexpr DWORD kCapUserVersion = 10;
constexpr DWORD kCapUserFlags = 1;

// _cap_connectps: six 32-bit fields.
struct CapConnectPsRecord {
    DWORD reserved1;  // 0
    DWORD reserved2;  // 0
    DWORD mode;       // 3
    DWORD reserved3;  // 0
    HWND owner;       // the caller's window
    DWORD reserved4;  // 0
};
static_assert(sizeof(CapConnectPsRecord) == 24, "six 32-bit fields");
constexpr DWORD kCapConnectPsMode = 3;

// _cap_initconn: three 32-bit fields.
struct CapInitConnRecord {
    DWORD kind;               // 1
    DWORD reserved;           // 0
    const char* serviceName;  // the emulator's service name, NUL-terminated
};
static_assert(sizeof(CapInitConnRecord) == 12, "three 32-bit fields");
constexpr DWORD kCapInitConnKind = 1;

// The next two records have 16-bit fields that the library reads without padding.
#pragma pack(push, 1)

// _cap_setpsstate: a 16-bit state directly followed by a 32-bit 0.
struct CapPsStateRecord {
    WORD state;      // kCapStateShow or kCapStateHide
    DWORD reserved;  // 0
};
static_assert(sizeof(CapPsStateRecord) == 6, "16-bit state then 32-bit 0, packed");

// _cap_prockeys: the key strokes to send.
struct CapKeysRecord {
    DWORD reserved1;   // 0
    const char* text;  // ANSI text; the counted characters are followed by a NUL
    DWORD length;      // number of characters to send
    DWORD reserved2;   // 0
    WORD reserved3;    // 0
};
static_assert(sizeof(CapKeysRecord) == 18, "four 32-bit fields then a 16-bit one, packed");

#pragma pack(pop)

// The nine functions; each removes its own arguments (WINAPI).
using CapInitUserFn = CapStatus(WINAPI*)(CapSessionBlock* session, const CapUserRecord* record);
using CapConnectPsFn = CapHandle(WINAPI*)(CapSessionBlock* session, const CapConnectPsRecord* record);
using CapInitConnFn = CapStatus(WINAPI*)(CapSessionBlock* session, CapHandle connection,
                                         const CapInitConnRecord* record);
using CapSetPsStateFn = CapStatus(WINAPI*)(CapSessionBlock* session, CapHandle connection,
                                           const CapPsStateRecord* record);
// count: in, the buffer's size; out, the number of bytes received.
using CapReceiveFn = CapStatus(WINAPI*)(CapSessionBlock* session, CapHandle connection, void* buffer,
                                        DWORD* count);
using CapProcKeysFn = CapStatus(WINAPI*)(CapSessionBlock* session, CapHandle connection,
                                         const CapKeysRecord* record);
using CapTermConnFn = CapStatus(WINAPI*)(CapSessionBlock* session, CapHandle connection);
using CapDisconnectFn = CapStatus(WINAPI*)(CapSessionBlock* session, CapHandle connection);
using CapTermUserFn = CapStatus(WINAPI*)(CapSessionBlock* session);
