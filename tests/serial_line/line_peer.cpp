// The far end of the line and the scan for the control's port handle.
#include "line_peer.h"
#include <algorithm>

namespace serial_line {

DWORD LinePeer::Open(const char* port) {
    const std::string path = std::string("\\\\.\\") + port;
    port_.Reset(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!port_) return GetLastError();
    DCB dcb = {};
    dcb.DCBlength = sizeof dcb;
    COMMTIMEOUTS immediate = {MAXDWORD, 0, 0, 0, 0};
    if (!GetCommState(port_.Get(), &dcb) || !BuildCommDCBA("9600,n,8,1", &dcb) || !SetCommState(port_.Get(), &dcb) ||
        !SetCommTimeouts(port_.Get(), &immediate)) {
        DWORD error = GetLastError();
        port_.Reset();
        return error ? error : ERROR_GEN_FAILURE;
    }
    Drain();
    return 0;
}

bool LinePeer::Write(const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        if (!WriteFile(port_.Get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &written, nullptr))
            return false;
        if (written == 0) Sleep(1);
        done += written;
    }
    return true;
}

std::string LinePeer::Read(size_t count, DWORD timeoutMs) {
    std::string got;
    const DWORD start = GetTickCount();
    while (got.size() < count && GetTickCount() - start < timeoutMs) {
        char buffer[4096];
        DWORD n = 0;
        if (!ReadFile(port_.Get(), buffer, sizeof buffer, &n, nullptr)) break;
        got.append(buffer, n);
        if (n == 0) Sleep(5);
    }
    return got;
}

void LinePeer::Drain() {
    PurgeComm(port_.Get(), PURGE_RXCLEAR);
    char buffer[4096];
    DWORD n = 0;
    while (ReadFile(port_.Get(), buffer, sizeof buffer, &n, nullptr) && n) {
    }
}

std::vector<HANDLE> CommHandles() {
    // Handle values are multiples of four and small in a test program.
    std::vector<HANDLE> found;
    for (ULONG_PTR value = 4; value < 0x1000; value += 4) {
        HANDLE handle = reinterpret_cast<HANDLE>(value);
        DCB dcb = {};
        dcb.DCBlength = sizeof dcb;
        if (GetCommState(handle, &dcb)) found.push_back(handle);
    }
    return found;
}

HANDLE OtherCommHandle(HANDLE except) {
    std::vector<HANDLE> handles = CommHandles();
    handles.erase(std::remove(handles.begin(), handles.end(), except), handles.end());
    return handles.size() == 1 ? handles[0] : nullptr;
}

}  // namespace serial_line
