// A line over a COM port, opened with the settings of the configuration.
#include "line.h"
#include "handles.h"
#include <string>

namespace cap32 {
namespace {

class SerialLine : public Line {
public:
    explicit SerialLine(fw::UniqueFile port) : port_(std::move(port)) {}

    Status Receive(char* buffer, DWORD capacity, DWORD waitMs, DWORD& received) override {
        received = 0;
        // MAXDWORD interval and multiplier: return at once with what is there, or
        // wait up to the constant for the first byte.
        COMMTIMEOUTS timeouts{MAXDWORD, waitMs ? MAXDWORD : 0, waitMs, 0, 0};
        if (!SetCommTimeouts(port_.Get(), &timeouts)) return kStatusLineFailed;
        if (!ReadFile(port_.Get(), buffer, capacity, &received, nullptr)) return kStatusLineFailed;
        return 0;
    }

    Status Send(const char* data, DWORD length) override {
        while (length > 0) {
            DWORD written = 0;
            if (!WriteFile(port_.Get(), data, length, &written, nullptr) || written == 0) return kStatusLineFailed;
            data += written;
            length -= written;
        }
        return 0;
    }

private:
    fw::UniqueFile port_;
};

}  // namespace

std::unique_ptr<Line> OpenSerialLine(const Endpoint& endpoint, Status& status) {
    std::string path = "\\\\.\\" + endpoint.device;
    fw::UniqueFile port(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!port || !GetCommState(port.Get(), &dcb) || !BuildCommDCBA(endpoint.settings.c_str(), &dcb) ||
        !SetCommState(port.Get(), &dcb)) {
        status = kStatusLineUnavailable;
        return nullptr;
    }
    auto line = std::unique_ptr<Line>(new (std::nothrow) SerialLine(std::move(port)));
    if (!line) status = kStatusInternal;
    return line;
}

}  // namespace cap32
