// The catalogue numbers of the windows' captions, by name (beside those the portable rules
// name in client/core/Messages.h).
#pragma once

#include <cstdint>

#include "client/core/Messages.h"

namespace pendrake::client::msg {

// Main window: frames, labels and buttons of both pages.
inline constexpr int32_t kSyslogFrame = 1;
inline constexpr int32_t kSyslogServer = 2;
inline constexpr int32_t kSyslogPort = 3;
inline constexpr int32_t kFacility = 4;
inline constexpr int32_t kPriority = 5;
inline constexpr int32_t kSyslogMessage = 6;
inline constexpr int32_t kLogToSyslog = 7;
inline constexpr int32_t kEventLogFrame = 8;
inline constexpr int32_t kEventLogComputer = 9;
inline constexpr int32_t kEventLogSource = 10;
inline constexpr int32_t kEventLogType = 11;
inline constexpr int32_t kEventLogId = 12;
inline constexpr int32_t kEventLogMessage = 13;
inline constexpr int32_t kLogToEventLog = 14;
inline constexpr int32_t kEnableDefaults = 20;
inline constexpr int32_t kDefaultsFrame = 21;
inline constexpr int32_t kTestTab = 70;
inline constexpr int32_t kDefaultsTab = 71;
inline constexpr int32_t kOk = 75;
inline constexpr int32_t kCancel = 76;
inline constexpr int32_t kApply = 77;
inline constexpr int32_t kOkTip = 78;
inline constexpr int32_t kCancelTip = 79;
inline constexpr int32_t kApplyTip = 80;
inline constexpr int32_t kFileMenu = 100;
inline constexpr int32_t kOptionsMenu = 101;
inline constexpr int32_t kHelpMenu = 102;
inline constexpr int32_t kAboutMenu = 103;
inline constexpr int32_t kManualMenu = 104;
inline constexpr int32_t kGenerateSyslogScript = 1000;
inline constexpr int32_t kGenerateEventScript = 1001;

// About box.
inline constexpr int32_t kAboutTitle = 300;
inline constexpr int32_t kComponentVersion = 301;
inline constexpr int32_t kClientVersion = 302;
inline constexpr int32_t kMoreInformationAt = 303;

// Options dialog.
inline constexpr int32_t kOptionsTitle = 310;
inline constexpr int32_t kOptionsHeader = 311;
inline constexpr int32_t kOptionsOk = 314;
inline constexpr int32_t kOptionsCancel = 315;
inline constexpr int32_t kLanguage = 318;

}  // namespace pendrake::client::msg
