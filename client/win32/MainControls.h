// The main window's controls, one row each: identifier, kind, page, container, initial place,
// caption, font and layout slot. Every table the window needs (captions, fonts, layout, the
// defaults frames, the number fields) reads from these rows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

#include "client/core/Layout.h"

namespace pendrake::client::main_window {

enum class Kind { Frame, Label, Edit, Number, Combo, Button, Check };  // Number: an Edit taking digits only
constexpr int kWindow = 0;  // container: the client area
constexpr int kPage = -1;   // container: the display area of the tab control

constexpr int32_t kNoText = -1;

// One row per control: everything the window does with a control reads from its row.
struct ControlDef {
  int id;
  Kind kind;
  int page;          // 0 test page, 1 defaults page, -1 on every page
  int container;     // kWindow, kPage or the id of a frame
  Rect twips;        // initial place, relative to the container
  int32_t caption;   // catalogue number of its text, or kNoText
  bool languageFont; // takes the language font (text boxes and lists keep their own)
  // Its place in the layout rules; nullptr for a control that keeps its initial place.
  Rect* (*slot)(MainLayout&);
};

// The rows in tab order, frames before their contents.
std::span<const ControlDef> MainControls();
// The row of a control (nullptr for an identifier without one).
const ControlDef* FindControl(int id);

// Creates the control of a row as a child of `parent`, without text and at no place yet.
HWND CreateControl(const ControlDef& def, HWND parent, HINSTANCE instance);

}  // namespace pendrake::client::main_window
