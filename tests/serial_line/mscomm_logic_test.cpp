// The control's logic without a port: the Settings text, the byte/character mapping and
// the device control block built for settings and handshaking.
#include <gtest/gtest.h>
#include "byte_text.h"
#include "comm_settings.h"
#include "serial_port.h"

using namespace mscomm;

namespace {

TEST(CommSettings, ValidTextsParseAndFormatCanonically) {
    const struct {
        const char* text;
        unsigned long baud;
        Parity parity;
        int dataBits;
        StopBits stop;
        const char* canonical;
    } cases[] = {
        {"9600,n,8,1", 9600, Parity::kNone, 8, StopBits::kOne, "9600,n,8,1"},
        {"19200,E,7,1", 19200, Parity::kEven, 7, StopBits::kOne, "19200,e,7,1"},
        {"110,o,5,1.5", 110, Parity::kOdd, 5, StopBits::kOnePointFive, "110,o,5,1.5"},
        {"256000,M,6,2", 256000, Parity::kMark, 6, StopBits::kTwo, "256000,m,6,2"},
        {" 1200 ,s, 4 ,1 ", 1200, Parity::kSpace, 4, StopBits::kOne, "1200,s,4,1"},
    };
    for (const auto& row : cases) {
        LineSettings settings;
        ASSERT_EQ(ParseSettings(row.text, settings), SettingsError::kNone) << row.text;
        EXPECT_EQ(settings.baudRate, row.baud) << row.text;
        EXPECT_EQ(settings.parity, row.parity) << row.text;
        EXPECT_EQ(settings.dataBits, row.dataBits) << row.text;
        EXPECT_EQ(settings.stopBits, row.stop) << row.text;
        EXPECT_EQ(FormatSettings(settings), row.canonical);
    }
}

TEST(CommSettings, InvalidTextsNameTheFieldAndLeaveSettingsAlone) {
    const struct {
        const char* text;
        SettingsError error;
    } cases[] = {
        {"", SettingsError::kFieldCount},          {"abc", SettingsError::kFieldCount},
        {"9600,n,8", SettingsError::kFieldCount},  {"9600,n,8,1,2", SettingsError::kFieldCount},
        {"9601,n,8,1", SettingsError::kBaudRate},  {"-9600,n,8,1", SettingsError::kBaudRate},
        {"96OO,n,8,1", SettingsError::kBaudRate},  {",n,8,1", SettingsError::kBaudRate},
        {"99999999999,n,8,1", SettingsError::kBaudRate},
        {"9600,x,8,1", SettingsError::kParity},    {"9600,no,8,1", SettingsError::kParity},
        {"9600,,8,1", SettingsError::kParity},     {"9600,n,9,1", SettingsError::kDataBits},
        {"9600,n,3,1", SettingsError::kDataBits},  {"9600,n,88,1", SettingsError::kDataBits},
        {"9600,n,8,3", SettingsError::kStopBits},  {"9600,n,8,1.0", SettingsError::kStopBits},
        {"9600,n,8,", SettingsError::kStopBits},
    };
    for (const auto& row : cases) {
        LineSettings settings;
        settings.baudRate = 300;
        EXPECT_EQ(ParseSettings(row.text, settings), row.error) << '"' << row.text << '"';
        EXPECT_EQ(FormatSettings(settings), "300,n,8,1") << row.text;
        EXPECT_STRNE(SettingsErrorText(row.error), "");
    }
}

TEST(CommSettings, HandshakingAndPortNumberRanges) {
    for (long v : {0L, 1L, 2L, 3L}) EXPECT_TRUE(IsValidHandshaking(v)) << v;
    for (long v : {-1L, 4L, 1000L}) EXPECT_FALSE(IsValidHandshaking(v)) << v;
    for (long v : {1L, 5L, 255L}) EXPECT_TRUE(IsValidPortNumber(v)) << v;
    for (long v : {0L, -1L, 256L, 32767L}) EXPECT_FALSE(IsValidPortNumber(v)) << v;
}

int EuroFallback(wchar_t c) { return c == 0x20AC ? 0x80 : -1; }

TEST(ByteText, EveryByteValueIsOneCharacterBothWays) {
    std::string all;
    for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
    const std::wstring text = BytesToText(all.data(), all.size());
    ASSERT_EQ(text.size(), 256u);
    for (size_t i = 0; i < text.size(); ++i) EXPECT_EQ(static_cast<unsigned>(text[i]), i);
    EXPECT_EQ(TextToBytes(text.data(), text.size(), nullptr), all);
}

TEST(ByteText, CharactersAboveFFGoThroughTheFallbackOrBecomeQuestionMarks) {
    const std::wstring text = L"a\x20AC" L"b\x3A9" L"\xFF";
    EXPECT_EQ(TextToBytes(text.data(), text.size(), EuroFallback), std::string("a\x80" "b?\xFF"));
    EXPECT_EQ(TextToBytes(text.data(), text.size(), nullptr), std::string("a?b?\xFF"));
}

TEST(SerialPortDcb, SettingsAndHandshakingFillTheControlBlock) {
    const struct {
        const char* settings;
        Handshaking handshaking;
        DWORD baud;
        BYTE byteSize, parity, stopBits;
        bool parityCheck, ctsFlow, rtsHandshake, xonXoff;
    } cases[] = {
        {"9600,n,8,1", Handshaking::kNone, 9600, 8, NOPARITY, ONESTOPBIT, false, false, false, false},
        {"19200,e,7,2", Handshaking::kXonXoff, 19200, 7, EVENPARITY, TWOSTOPBITS, true, false, false, true},
        {"1200,o,5,1.5", Handshaking::kRtsCts, 1200, 5, ODDPARITY, ONE5STOPBITS, true, true, true, false},
        {"115200,m,6,1", Handshaking::kBoth, 115200, 6, MARKPARITY, ONESTOPBIT, true, true, true, true},
        {"300,s,4,1", Handshaking::kNone, 300, 4, SPACEPARITY, ONESTOPBIT, true, false, false, false},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.settings);
        LineSettings settings;
        ASSERT_EQ(ParseSettings(row.settings, settings), SettingsError::kNone);
        DCB dcb;
        memset(&dcb, 0xCD, sizeof dcb);  // every field we rely on must be written
        FillDcb(settings, row.handshaking, dcb);
        EXPECT_EQ(dcb.DCBlength, sizeof dcb);
        EXPECT_EQ(dcb.BaudRate, row.baud);
        EXPECT_EQ(dcb.ByteSize, row.byteSize);
        EXPECT_EQ(dcb.Parity, row.parity);
        EXPECT_EQ(dcb.StopBits, row.stopBits);
        EXPECT_EQ(dcb.fParity != 0, row.parityCheck);
        EXPECT_TRUE(dcb.fBinary);
        EXPECT_FALSE(dcb.fNull) << "NUL bytes must not be dropped";
        EXPECT_FALSE(dcb.fAbortOnError);
        EXPECT_EQ(dcb.fOutxCtsFlow != 0, row.ctsFlow);
        EXPECT_EQ(dcb.fRtsControl, row.rtsHandshake ? DWORD(RTS_CONTROL_HANDSHAKE) : DWORD(RTS_CONTROL_ENABLE));
        EXPECT_EQ(dcb.fOutX != 0, row.xonXoff);
        EXPECT_EQ(dcb.fInX != 0, row.xonXoff);
        EXPECT_FALSE(dcb.fOutxDsrFlow);
        EXPECT_EQ(dcb.fDtrControl, DWORD(DTR_CONTROL_ENABLE));
        EXPECT_EQ(dcb.XonChar, 0x11);
        EXPECT_EQ(dcb.XoffChar, 0x13);
    }
}

TEST(SerialPortTimeouts, ReadsReturnAtOnceAndWritesAreBounded) {
    for (unsigned long baud : {110ul, 9600ul, 256000ul}) {
        const COMMTIMEOUTS t = TimeoutsFor(baud);
        EXPECT_EQ(t.ReadIntervalTimeout, MAXDWORD) << baud;
        EXPECT_EQ(t.ReadTotalTimeoutMultiplier, 0u) << baud;
        EXPECT_EQ(t.ReadTotalTimeoutConstant, 0u) << baud;
        // Room for each byte's time on the wire, and never an unbounded write.
        EXPECT_GE(t.WriteTotalTimeoutMultiplier * baud, 12000u) << baud;
        EXPECT_GT(t.WriteTotalTimeoutConstant, 0u) << baud;
    }
}

}  // namespace
