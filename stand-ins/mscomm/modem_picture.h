// The control's picture: a modem with a telephone handset on it; its lights are lit
// while the port is open.
#pragma once
#include <windows.h>

namespace mscomm {

void DrawModemPicture(HDC dc, const RECT& bounds, bool portOpen);

}  // namespace mscomm
