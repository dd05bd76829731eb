// The COM port: CreateFile, SetCommState, SetCommTimeouts, WriteFile, ReadFile.
#include "serial_port.h"

namespace mscomm {
namespace {

const DWORD kQueueSize = 4096;
const int kMaxStalledWrites = 3;

BYTE ParityCode(Parity parity) {
    switch (parity) {
    case Parity::kOdd: return ODDPARITY;
    case Parity::kEven: return EVENPARITY;
    case Parity::kMark: return MARKPARITY;
    case Parity::kSpace: return SPACEPARITY;
    case Parity::kNone: break;
    }
    return NOPARITY;
}

BYTE StopBitsCode(StopBits stop) {
    switch (stop) {
    case StopBits::kOnePointFive: return ONE5STOPBITS;
    case StopBits::kTwo: return TWOSTOPBITS;
    case StopBits::kOne: break;
    }
    return ONESTOPBIT;
}

DWORD LastErrorOr(DWORD fallback) {
    DWORD error = GetLastError();
    return error ? error : fallback;
}

}  // namespace

void FillDcb(const LineSettings& settings, Handshaking handshaking, DCB& dcb) {
    dcb.DCBlength = sizeof dcb;
    dcb.BaudRate = settings.baudRate;
    dcb.ByteSize = static_cast<BYTE>(settings.dataBits);
    dcb.Parity = ParityCode(settings.parity);
    dcb.StopBits = StopBitsCode(settings.stopBits);
    dcb.fBinary = TRUE;  // Windows supports nothing else
    dcb.fParity = settings.parity != Parity::kNone;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;  // NUL bytes are data too
    dcb.fAbortOnError = FALSE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;

    const bool rtsCts = UsesRtsCts(handshaking);
    dcb.fOutxCtsFlow = rtsCts;
    dcb.fRtsControl = rtsCts ? RTS_CONTROL_HANDSHAKE : RTS_CONTROL_ENABLE;

    const bool xonXoff = UsesXonXoff(handshaking);
    dcb.fOutX = xonXoff;
    dcb.fInX = xonXoff;
    dcb.fTXContinueOnXoff = TRUE;
    dcb.XonChar = 0x11;   // DC1
    dcb.XoffChar = 0x13;  // DC3
    dcb.XonLim = static_cast<WORD>(kQueueSize / 4);
    dcb.XoffLim = static_cast<WORD>(kQueueSize / 4);
}

COMMTIMEOUTS TimeoutsFor(unsigned long baudRate) {
    // At most 12 bits a byte on the wire (start, 8 data, parity, 2 stop), doubled.
    const DWORD msPerByte = baudRate ? (24000 + baudRate - 1) / baudRate : 1;
    COMMTIMEOUTS timeouts = {};
    timeouts.ReadIntervalTimeout = MAXDWORD;  // with both read totals 0: return at once
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = 0;
    timeouts.WriteTotalTimeoutMultiplier = msPerByte;
    timeouts.WriteTotalTimeoutConstant = 2000;
    return timeouts;
}

DWORD SerialPort::Open(int portNumber, const LineSettings& settings, Handshaking handshaking) {
    Close();
    const std::string path = "\\\\.\\COM" + std::to_string(portNumber);
    fw::UniqueFile port(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!port) return LastErrorOr(ERROR_OPEN_FAILED);
    SetupComm(port.Get(), kQueueSize, kQueueSize);  // a wish; drivers may keep their own sizes
    handle_ = std::move(port);
    DWORD error = Configure(settings, handshaking);
    if (!error) PurgeComm(handle_.Get(), PURGE_RXCLEAR | PURGE_TXCLEAR | PURGE_RXABORT | PURGE_TXABORT);
    if (error) Close();
    return error;
}

DWORD SerialPort::Configure(const LineSettings& settings, Handshaking handshaking) {
    if (!handle_) return ERROR_INVALID_HANDLE;
    DCB old = {};
    old.DCBlength = sizeof old;
    if (!GetCommState(handle_.Get(), &old)) return LastErrorOr(ERROR_GEN_FAILURE);
    DCB wanted = old;
    FillDcb(settings, handshaking, wanted);
    if (!SetCommState(handle_.Get(), &wanted)) {
        DWORD error = LastErrorOr(ERROR_INVALID_PARAMETER);
        SetCommState(handle_.Get(), &old);
        return error;
    }
    COMMTIMEOUTS timeouts = TimeoutsFor(settings.baudRate);
    if (!SetCommTimeouts(handle_.Get(), &timeouts)) return LastErrorOr(ERROR_GEN_FAILURE);
    return 0;
}

DWORD SerialPort::Write(const std::string& bytes) {
    if (!handle_) return ERROR_INVALID_HANDLE;
    const char* next = bytes.data();
    size_t left = bytes.size();
    int stalls = 0;
    while (left > 0) {
        DWORD written = 0;
        const DWORD chunk = left > 0x10000 ? 0x10000 : static_cast<DWORD>(left);
        if (!WriteFile(handle_.Get(), next, chunk, &written, nullptr)) return LastErrorOr(ERROR_WRITE_FAULT);
        if (written == 0) {
            if (++stalls >= kMaxStalledWrites) return ERROR_TIMEOUT;
            Sleep(10);
        }
        next += written;
        left -= written;
    }
    return 0;
}

DWORD SerialPort::ReadAvailable(std::string& bytes) {
    if (!handle_) return ERROR_INVALID_HANDLE;
    // A hung-up device still answers ReadFile with "nothing there"; its status does not.
    DWORD lineErrors = 0;
    COMSTAT status = {};
    if (!ClearCommError(handle_.Get(), &lineErrors, &status)) return LastErrorOr(ERROR_GEN_FAILURE);
    char buffer[4096];
    size_t total = 0;
    while (total < kMaxReadPerCall) {
        DWORD got = 0;
        if (!ReadFile(handle_.Get(), buffer, sizeof buffer, &got, nullptr)) return LastErrorOr(ERROR_READ_FAULT);
        if (got == 0) break;
        bytes.append(buffer, got);
        total += got;
    }
    return 0;
}

}  // namespace mscomm
