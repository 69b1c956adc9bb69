#pragma once

#include "ports.h"

namespace pendrake::win32 {

// The ANSI code page of the calling thread's locale (CP_THREAD_ACP).
class CodePageAdapter final : public CodePage {
 public:
  void ToNarrow(std::u16string_view text, NarrowText& out) override;
  std::u16string ToWide(std::string_view text) override;
  CodePageLayout Layout() override;
  // With the system's ANSI code page (CP_ACP), as ReportEventA widens.
  std::size_t SystemWidenedLength(std::string_view text) override;
};

}  // namespace pendrake::win32
