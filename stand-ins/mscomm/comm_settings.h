// The line settings of the Settings property ("baud,parity,data,stop", e.g. "9600,n,8,1"),
// the Handshaking values and the port number range. Plain C++, no Windows types.
#pragma once
#include <string>

namespace mscomm {

enum class Parity { kNone, kOdd, kEven, kMark, kSpace };
enum class StopBits { kOne, kOnePointFive, kTwo };

struct LineSettings {
    unsigned long baudRate = 9600;
    Parity parity = Parity::kNone;
    int dataBits = 8;
    StopBits stopBits = StopBits::kOne;
};

enum class SettingsError { kNone, kFieldCount, kBaudRate, kParity, kDataBits, kStopBits };

// Reads "baud,parity,data,stop". Fields may have blanks around them; parity is one of
// n, o, e, m, s in either case; data bits 4 to 8; stop bits 1, 1.5 or 2; the baud rate
// one of the standard rates. On an error settings is left as it was.
SettingsError ParseSettings(const std::string& text, LineSettings& settings);

// The canonical text of settings, as the Settings property reads back: "9600,n,8,1".
std::string FormatSettings(const LineSettings& settings);

// What is wrong, for the automation exception's description.
const char* SettingsErrorText(SettingsError error);

// Handshaking: 0 none, 1 XON/XOFF, 2 RTS/CTS, 3 both.
enum class Handshaking { kNone = 0, kXonXoff = 1, kRtsCts = 2, kBoth = 3 };
bool IsValidHandshaking(long value);
bool UsesXonXoff(Handshaking handshaking);
bool UsesRtsCts(Handshaking handshaking);

// COM1 to COM255.
const int kMinPortNumber = 1;
const int kMaxPortNumber = 255;
bool IsValidPortNumber(long value);

}  // namespace mscomm
