// Methods whose services are not wired yet: they report that the call does not fit the
// control's state, as every other failure does.
#include "portlex_ctrl.h"

namespace {
const long kFailure = -9;
}

long CPortlexCtrl::Connect(const char*) { return kFailure; }
long CPortlexCtrl::Disconnect() { return kFailure; }
long CPortlexCtrl::Interrupt() { return kFailure; }
long CPortlexCtrl::Read(const char*, long, long, BOOL, std::string* received) {
    received->clear();
    return kFailure;
}
long CPortlexCtrl::Write(const char*) { return kFailure; }
long CPortlexCtrl::WriteNoEcho(const char*) { return kFailure; }
void CPortlexCtrl::PollIncoming() {}
