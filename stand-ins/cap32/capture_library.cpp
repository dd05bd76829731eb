// Users, connections and the operations behind the nine exported functions.
#include "capture_library.h"
#include "config_file.h"
#include "traffic_listing.h"
#include <cstring>
#include <vector>

namespace cap32 {
namespace {

// Our mark in the library's part of a session block, followed by the user number.
constexpr DWORD kSessionMagic = 0x32335043;  // "CP32"
constexpr char kWindowTitle[] = "Telvora VT320";

// ConnectPs reports failure with handle 0 and the status in the session block.
CapHandle FailConnect(CapSessionBlock* session, Status status) {
    CaptureLibrary::Report(session, status);
    return 0;
}

void WriteUser(CapSessionBlock* session, DWORD user) {
    DWORD words[2] = {user ? kSessionMagic : 0, user};
    std::memcpy(session->library, words, sizeof words);
}

}  // namespace

CaptureLibrary& CaptureLibrary::Instance() {
    // Never destroyed: its end would run inside the loader's lock at unload.
    static CaptureLibrary* library = new CaptureLibrary;
    return *library;
}

Status CaptureLibrary::Report(CapSessionBlock* session, Status status) {
    if (session) {
        session->status1 = static_cast<WORD>(status & 0xFF00);
        session->status2 = static_cast<WORD>(status & 0x00FF);
    }
    return status;
}

DWORD CaptureLibrary::UserOf(const CapSessionBlock* session) {
    DWORD words[2];
    std::memcpy(words, session->library, sizeof words);
    if (words[0] != kSessionMagic) return 0;
    std::lock_guard<std::mutex> lock(mutex_);
    return users_.count(words[1]) ? words[1] : 0;
}

CaptureLibrary::ConnectionPtr CaptureLibrary::Find(const CapSessionBlock* session, CapHandle handle,
                                                   Status& status) {
    DWORD user = UserOf(session);
    if (!user) {
        status = kStatusNoUser;
        return nullptr;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = connections_.find(handle);
    if (it == connections_.end() || it->second->user != user) {
        status = kStatusBadHandle;
        return nullptr;
    }
    status = 0;
    return it->second;
}

Status CaptureLibrary::InitUser(CapSessionBlock* session, const CapUserRecord* record) {
    if (!session) return kStatusNullArgument;
    if (!record) return Report(session, kStatusNullArgument);
    if (record->version != kCapUserVersion || !record->application || !record->userName || !record->password)
        return Report(session, kStatusBadRecord);
    if (UserOf(session)) TermUser(session);  // a block set up twice ends its first user
    DWORD user;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        user = nextUser_++;
        users_.insert(user);
    }
    WriteUser(session, user);
    return Report(session, kCapStatusOk);
}

CapHandle CaptureLibrary::ConnectPs(CapSessionBlock* session, const CapConnectPsRecord* record) {
    if (!session) return 0;
    DWORD user = UserOf(session);
    if (!user) return FailConnect(session, kStatusNoUser);
    if (!record) return FailConnect(session, kStatusNullArgument);
    if (record->mode != kCapConnectPsMode) return FailConnect(session, kStatusBadRecord);

    std::string text, path;
    if (!ReadConfigFile(text, path)) return FailConnect(session, kCapStatusNoEmulator);
    ConfigResult parsed = ParseConfig(text);
    if (!parsed.ok) return FailConnect(session, kStatusInvalidConfig);

    auto connection = std::make_shared<Connection>();
    connection->user = user;
    connection->config = std::move(parsed.config);
    // Without a display the line still works; only showing the window fails.
    connection->window = EmulatorWindow::Start(kWindowTitle);
    CapHandle handle;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        handle = nextHandle_++;
        connections_[handle] = connection;
    }
    Report(session, kCapStatusOk);
    return handle;
}

Status CaptureLibrary::InitConn(CapSessionBlock* session, CapHandle handle, const CapInitConnRecord* record) {
    if (!session) return kStatusNullArgument;
    Status status;
    ConnectionPtr connection = Find(session, handle, status);
    if (!connection) return Report(session, status);
    if (!record) return Report(session, kStatusNullArgument);
    if (record->kind != kCapInitConnKind || !record->serviceName) return Report(session, kStatusBadRecord);

    std::lock_guard<std::mutex> lock(connection->mutex);
    if (connection->line) return Report(session, kStatusAlreadyConnected);
    const Endpoint* endpoint = connection->config.Find(record->serviceName);
    if (!endpoint) return Report(session, kCapStatusUndefinedService);
    status = 0;
    connection->line = OpenLine(*endpoint, status);
    if (!connection->line) return Report(session, status);
    connection->service = record->serviceName;
    if (connection->window) connection->window->SetTitle(std::string(kWindowTitle) + " - " + connection->service);
    return Report(session, kCapStatusOk);
}

Status CaptureLibrary::SetPsState(CapSessionBlock* session, CapHandle handle, const CapPsStateRecord* record) {
    if (!session) return kStatusNullArgument;
    Status status;
    ConnectionPtr connection = Find(session, handle, status);
    if (!connection) return Report(session, status);
    if (!record) return Report(session, kStatusNullArgument);
    if (record->state != kCapStateShow && record->state != kCapStateHide) return Report(session, kStatusBadState);
    if (!connection->window) return Report(session, kStatusNoWindow);
    connection->window->Show(record->state == kCapStateShow);
    return Report(session, kCapStatusOk);
}

Status CaptureLibrary::Receive(CapSessionBlock* session, CapHandle handle, void* buffer, DWORD* count) {
    if (!session) return kStatusNullArgument;
    Status status;
    ConnectionPtr connection = Find(session, handle, status);
    if (!connection) return Report(session, status);
    if (!buffer || !count) return Report(session, kStatusNullArgument);
    DWORD capacity = *count;
    *count = 0;
    if (capacity == 0) return Report(session, kStatusBadRecord);

    std::lock_guard<std::mutex> lock(connection->mutex);
    if (!connection->line) return Report(session, kStatusNotConnected);
    DWORD received = 0;
    char* bytes = static_cast<char*>(buffer);
    status = connection->line->Receive(bytes, capacity, connection->config.receiveWaitMs, received);
    if (status) return Report(session, status);
    if (received == 0) return Report(session, kCapStatusNothingWaiting);
    *count = received;
    if (connection->window) connection->window->Append(FormatTraffic(Direction::Received, bytes, received));
    return Report(session, kCapStatusOk);
}

Status CaptureLibrary::ProcKeys(CapSessionBlock* session, CapHandle handle, const CapKeysRecord* record) {
    if (!session) return kStatusNullArgument;
    Status status;
    ConnectionPtr connection = Find(session, handle, status);
    if (!connection) return Report(session, status);
    if (!record) return Report(session, kStatusNullArgument);
    if (!record->text && record->length > 0) return Report(session, kStatusBadRecord);

    std::lock_guard<std::mutex> lock(connection->mutex);
    if (!connection->line) return Report(session, kStatusNotConnected);
    if (record->length == 0) return Report(session, kCapStatusOk);
    status = connection->line->Send(record->text, record->length);
    if (status) return Report(session, status);
    if (connection->window) connection->window->Append(FormatTraffic(Direction::Sent, record->text, record->length));
    return Report(session, kCapStatusOk);
}

Status CaptureLibrary::TermConn(CapSessionBlock* session, CapHandle handle) {
    if (!session) return kStatusNullArgument;
    Status status;
    ConnectionPtr connection = Find(session, handle, status);
    if (!connection) return Report(session, status);
    std::unique_ptr<Line> line;
    {
        std::lock_guard<std::mutex> lock(connection->mutex);
        line = std::move(connection->line);
    }
    return Report(session, line ? kCapStatusOk : kStatusNotConnected);
}

Status CaptureLibrary::Disconnect(CapSessionBlock* session, CapHandle handle) {
    if (!session) return kStatusNullArgument;
    Status status;
    ConnectionPtr connection = Find(session, handle, status);
    if (!connection) return Report(session, status);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        connections_.erase(handle);
    }
    connection.reset();  // closes the line and the window unless a call still runs on it
    return Report(session, kCapStatusOk);
}

Status CaptureLibrary::TermUser(CapSessionBlock* session) {
    if (!session) return kStatusNullArgument;
    DWORD user = UserOf(session);
    if (!user) return Report(session, kStatusNoUser);
    std::vector<ConnectionPtr> ended;  // released outside the lock: closing waits for window threads
    {
        std::lock_guard<std::mutex> lock(mutex_);
        users_.erase(user);
        for (auto it = connections_.begin(); it != connections_.end();) {
            if (it->second->user == user) {
                ended.push_back(it->second);
                it = connections_.erase(it);
            } else {
                ++it;
            }
        }
    }
    ended.clear();
    WriteUser(session, 0);
    return Report(session, kCapStatusOk);
}

}  // namespace cap32
