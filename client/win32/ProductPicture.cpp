#include "ProductPicture.h"

#include "pendrake/owners.h"

namespace pendrake::client {

void DrawProductPicture(HDC dc, const RECT& bounds) {
  const int w = bounds.right - bounds.left, h = bounds.bottom - bounds.top;
  // The objects outlive their selections: the owners below them go first and put back what
  // the device context held before.
  const owners::UniqueHbrush face(CreateSolidBrush(RGB(0x1F, 0x3A, 0x68)));
  const owners::UniqueHpen edge(CreatePen(PS_SOLID, 1, RGB(0x0E, 0x1C, 0x34)));
  const owners::UniqueHpen quill(CreatePen(PS_SOLID, (w / 16) > 1 ? w / 16 : 1, RGB(0xF2, 0xC1, 0x4E)));
  const owners::UniqueHbrush feather(CreateSolidBrush(RGB(0xFF, 0xFF, 0xFF)));
  {
    const owners::UniqueSelectObject brush = owners::SelectInto(dc, face.get());
    const owners::UniqueSelectObject pen = owners::SelectInto(dc, edge.get());
    RoundRect(dc, bounds.left, bounds.top, bounds.right, bounds.bottom, w / 3, h / 3);
    // A quill across the emblem: the shaft and its feather.
    SelectObject(dc, quill.get());
    MoveToEx(dc, bounds.left + w / 5, bounds.bottom - h / 5, nullptr);
    LineTo(dc, bounds.right - w / 5, bounds.top + h / 5);
    SelectObject(dc, feather.get());
    const POINT vane[] = {{bounds.right - w / 5, bounds.top + h / 5},
                          {bounds.left + w / 2, bounds.top + h / 4},
                          {bounds.left + w * 2 / 5, bounds.top + h * 3 / 5},
                          {bounds.left + w * 3 / 4, bounds.top + h / 2}};
    Polygon(dc, vane, 4);
  }
}

}  // namespace pendrake::client
