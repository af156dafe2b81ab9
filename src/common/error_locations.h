// SPDX-License-Identifier: MIT
// The location texts that an error report names, one per trapped handler: project word, date stamp,
// window, handler, and one trailing space (the report goes on with "at line "). Users quote them when
// they send a report, so they stay exactly as they are.
#pragma once

#include <string_view>

namespace kestrelmoor {

// The connection window.
inline constexpr std::string_view kConnectionWindowLoadLocation = "in Kestrelwick2017/04/05.Form1.Form_Load ";
inline constexpr std::string_view kNextLocation = "in Kestrelwick2017/04/05.Form1.PushButton3_Click ";
inline constexpr std::string_view kHelpLocation = "in Kestrelwick2017/04/05.Form1.PushButton4_Click ";
inline constexpr std::string_view kTestConnectionLocation =
    "in Kestrelwick2017/04/05.Form1.PushButton5_Click ";

// The extraction window.
inline constexpr std::string_view kExtractionWindowLoadLocation = "in Kestrelwick2017/04/05.Form2.Form_Load ";
inline constexpr std::string_view kCheckAllLocation = "in Kestrelwick2017/04/05.Form2.PushButton1_Click ";
inline constexpr std::string_view kSaveCommaDelimitedLocation =
    "in Kestrelwick2017/04/05.Form2.PushButton2_Click ";
inline constexpr std::string_view kCopyToClipboardLocation =
    "in Kestrelwick2017/04/05.Form2.PushButton3_Click ";
inline constexpr std::string_view kStartExtractingLocation =
    "in Kestrelwick2017/04/05.Form2.PushButton4_Click ";
inline constexpr std::string_view kSwitchDatabaseLocation =
    "in Kestrelwick2017/04/05.Form2.PushButton5_Click ";
inline constexpr std::string_view kSaveTextFileLocation = "in Kestrelwick2017/04/05.Form2.PushButton6_Click ";
inline constexpr std::string_view kUncheckAllLocation = "in Kestrelwick2017/04/05.Form2.PushButton7_Click ";
inline constexpr std::string_view kClearListLocation = "in Kestrelwick2017/04/05.Form2.PushButton9_Click ";

}  // namespace kestrelmoor
