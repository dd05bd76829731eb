// The nine exported functions of Cap32.dll. Each hands its arguments to the
// library object; no exception leaves the library.
#include "capture_library.h"
#include "telvora_api.h"
#include <type_traits>

using cap32::CaptureLibrary;

namespace {

template <class Call>
CapStatus Guarded(CapSessionBlock* session, Call call) {
    try {
        return call();
    } catch (...) {
        return CaptureLibrary::Report(session, cap32::kStatusInternal);
    }
}

}  // namespace

extern "C" {

CapStatus WINAPI _cap_inituser(CapSessionBlock* session, const CapUserRecord* record) {
    return Guarded(session, [&] { return CaptureLibrary::Instance().InitUser(session, record); });
}

CapHandle WINAPI _cap_connectps(CapSessionBlock* session, const CapConnectPsRecord* record) {
    try {
        return CaptureLibrary::Instance().ConnectPs(session, record);
    } catch (...) {
        CaptureLibrary::Report(session, cap32::kStatusInternal);
        return 0;
    }
}

CapStatus WINAPI _cap_initconn(CapSessionBlock* session, CapHandle connection, const CapInitConnRecord* record) {
    return Guarded(session, [&] { return CaptureLibrary::Instance().InitConn(session, connection, record); });
}

CapStatus WINAPI _cap_setpsstate(CapSessionBlock* session, CapHandle connection, const CapPsStateRecord* record) {
    return Guarded(session, [&] { return CaptureLibrary::Instance().SetPsState(session, connection, record); });
}

CapStatus WINAPI _cap_receive(CapSessionBlock* session, CapHandle connection, void* buffer, DWORD* count) {
    return Guarded(session, [&] { return CaptureLibrary::Instance().Receive(session, connection, buffer, count); });
}

CapStatus WINAPI _cap_prockeys(CapSessionBlock* session, CapHandle connection, const CapKeysRecord* record) {
    return Guarded(session, [&] { return CaptureLibrary::Instance().ProcKeys(session, connection, record); });
}

CapStatus WINAPI _cap_termconn(CapSessionBlock* session, CapHandle connection) {
    return Guarded(session, [&] { return CaptureLibrary::Instance().TermConn(session, connection); });
}

CapStatus WINAPI _cap_disconect(CapSessionBlock* session, CapHandle connection) {
    return Guarded(session, [&] { return CaptureLibrary::Instance().Disconnect(session, connection); });
}

CapStatus WINAPI _cap_termuser(CapSessionBlock* session) {
    return Guarded(session, [&] { return CaptureLibrary::Instance().TermUser(session); });
}

}  // extern "C"

// Each export has exactly the type (calling convention included) the control calls it through.
static_assert(std::is_same_v<decltype(&_cap_inituser), CapInitUserFn>);
static_assert(std::is_same_v<decltype(&_cap_connectps), CapConnectPsFn>);
static_assert(std::is_same_v<decltype(&_cap_initconn), CapInitConnFn>);
static_assert(std::is_same_v<decltype(&_cap_setpsstate), CapSetPsStateFn>);
static_assert(std::is_same_v<decltype(&_cap_receive), CapReceiveFn>);
static_assert(std::is_same_v<decltype(&_cap_prockeys), CapProcKeysFn>);
static_assert(std::is_same_v<decltype(&_cap_termconn), CapTermConnFn>);
static_assert(std::is_same_v<decltype(&_cap_disconect), CapDisconnectFn>);
static_assert(std::is_same_v<decltype(&_cap_termuser), CapTermUserFn>);
