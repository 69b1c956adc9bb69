// The About box: component and client versions, and the product's web address.
#pragma once

#include <windows.h>

// Shows the About box modally over `owner`, loaded afresh each time; returns when it is closed.
void ShowAboutBox(HWND owner);

// The address the web link shows and opens.
inline constexpr const char kProductWebAddress[] = "https://www.orvelle.com/pendrake";
