// The product picture shared by the start window and the About box: a small drawn emblem.
#pragma once

#include <windows.h>

namespace pendrake::client {

void DrawProductPicture(HDC dc, const RECT& bounds);

}  // namespace pendrake::client
