// The capture library's state: users (one per session block set up by
// _cap_inituser) and their connections (presentation spaces), each with its
// configuration, its emulator window and, once initialised, its line.
#pragma once
#include "cap_config.h"
#include "cap_status.h"
#include "emulator_window.h"
#include "line.h"
#include "telvora_api.h"
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>

namespace cap32 {

class CaptureLibrary {
public:
    static CaptureLibrary& Instance();

    // Each operation checks its arguments, records its status in the session
    // block's two status words (when there is a block) and returns it.
    Status InitUser(CapSessionBlock* session, const CapUserRecord* record);
    CapHandle ConnectPs(CapSessionBlock* session, const CapConnectPsRecord* record);
    Status InitConn(CapSessionBlock* session, CapHandle handle, const CapInitConnRecord* record);
    Status SetPsState(CapSessionBlock* session, CapHandle handle, const CapPsStateRecord* record);
    Status Receive(CapSessionBlock* session, CapHandle handle, void* buffer, DWORD* count);
    Status ProcKeys(CapSessionBlock* session, CapHandle handle, const CapKeysRecord* record);
    Status TermConn(CapSessionBlock* session, CapHandle handle);
    Status Disconnect(CapSessionBlock* session, CapHandle handle);
    Status TermUser(CapSessionBlock* session);

    // Records a status in the session block: its high byte in the first word,
    // its low byte in the second, so that the caller's OR of both gives it back.
    static Status Report(CapSessionBlock* session, Status status);

private:
    struct Connection {
        DWORD user = 0;
        Config config;
        std::string service;
        std::unique_ptr<EmulatorWindow> window;
        std::unique_ptr<Line> line;
        std::mutex mutex;  // one line operation at a time
    };
    using ConnectionPtr = std::shared_ptr<Connection>;

    // The user of a session block set up by InitUser, or 0.
    DWORD UserOf(const CapSessionBlock* session);
    // The connection of handle if it belongs to the session's user; status otherwise.
    ConnectionPtr Find(const CapSessionBlock* session, CapHandle handle, Status& status);

    std::mutex mutex_;
    std::set<DWORD> users_;
    std::map<CapHandle, ConnectionPtr> connections_;
    DWORD nextUser_ = 1;
    CapHandle nextHandle_ = 0x5001;
};

}  // namespace cap32
