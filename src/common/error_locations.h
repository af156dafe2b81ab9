// SPDX-License-Identifier: MIT
// What an error report names, per trapped handler: its location text and its steps.
//
// A location is project word, date stamp, window, handler, and one trailing space (the report goes on
// with "at line "). A step's value is the line its report names. Users quote both when they send a
// report, so they stay exactly as they are; a handler runs its steps through the Trap of error_trap.h
// in the order listed here.
#pragma once

#include <string_view>
#include <type_traits>

namespace kestrelmoor {

// The line that a report of `step` names.
template <class StepName>
requires std::is_enum_v<StepName>
constexpr int LineOf(StepName step) {
    return static_cast<int>(step);
}

// The connection window.

inline constexpr std::string_view kConnectionWindowLoadLocation = "in Kestrelwick2017/04/05.Form1.Form_Load ";
enum class ConnectionWindowLoadStep {
    // The window's look, and now and then the program's home page.
    Skin = 100,
    Title = 104,  // the window's title and icon, and the application's title
    HomePage = 106,
    PointerFileExists = 124,
    Pointer = 126,
    // The boxes, each restored from the settings.
    ServerBox = 128,
    UserBox = 130,
    PasswordBox = 132,
    DatabaseBox = 134,
    PortBox = 136,
    // With every box but the port filled in, straight on as "Next >" does when the login connects.
    LoginFilledIn = 138,
    CanConnect = 140,
    Next = 142,
};

inline constexpr std::string_view kNextLocation = "in Kestrelwick2017/04/05.Form1.PushButton3_Click ";
enum class NextStep {
    CanConnect = 100,
    ShowExtractionWindow = 102,
    Hide = 104,
};

inline constexpr std::string_view kHelpLocation = "in Kestrelwick2017/04/05.Form1.PushButton4_Click ";
enum class HelpStep {
    Show = 114,
};

inline constexpr std::string_view kTestConnectionLocation =
    "in Kestrelwick2017/04/05.Form1.PushButton5_Click ";
// Only the connection's creation is reported: the test itself answers with its own message.
enum class TestConnectionStep {
    CreateConnection = 100,
};

// The extraction window.

inline constexpr std::string_view kExtractionWindowLoadLocation = "in Kestrelwick2017/04/05.Form2.Form_Load ";
enum class ExtractionWindowLoadStep {
    // The window's look.
    ButtonFaces = 100,
    Icon = 102,
    PointerFileExists = 106,
    Pointer = 108,
    Title = 110,
    // The two lists' columns.
    TablesColumn = 112,
    TablesColumnWidth = 114,
    ResultsColumn = 116,
    ResultsColumnWidth = 118,
    // The tables of the login's database, also when a new login's tables are listed again.
    ListTables = 120,
};

// Check All and Uncheck All share their steps.
inline constexpr std::string_view kCheckAllLocation = "in Kestrelwick2017/04/05.Form2.PushButton1_Click ";
inline constexpr std::string_view kUncheckAllLocation = "in Kestrelwick2017/04/05.Form2.PushButton7_Click ";
enum class SetAllCheckedStep {
    CountTables = 100,
    SetChecked = 102,
};

// Save As Comma Delimited Text File and Save Results As Text File share their steps up to the rows;
// each ends in its own.
inline constexpr std::string_view kSaveCommaDelimitedLocation =
    "in Kestrelwick2017/04/05.Form2.PushButton2_Click ";
inline constexpr std::string_view kSaveTextFileLocation = "in Kestrelwick2017/04/05.Form2.PushButton6_Click ";
enum class SaveResultsStep {
    // The file's name, chosen and, for an existing file, confirmed.
    AskFileName = 114,
    TargetExists = 120,
    AskOverwrite = 122,
    // The rows, written beside the file.
    Hourglass = 128,
    Open = 130,
    CountRows = 132,
    LetEventsIn = 134,
    AddRow = 136,
    // The text file's end.
    TextFileReplace = 140,
    TextFilePointer = 142,
    // The comma-delimited file's end.
    CommaLineEnd = 140,
    CommaReplace = 142,
    CommaPointer = 144,
};

inline constexpr std::string_view kCopyToClipboardLocation =
    "in Kestrelwick2017/04/05.Form2.PushButton3_Click ";
enum class CopyToClipboardStep {
    Copy = 106,
    Tell = 108,
};

inline constexpr std::string_view kStartExtractingLocation =
    "in Kestrelwick2017/04/05.Form2.PushButton4_Click ";
enum class StartExtractingStep {
    // The connection and the login.
    CreateConnection = 100,
    ReadTimeout = 104,
    ConnectTimeout = 106,
    Login = 110,
    // The run's start.
    SeenSet = 114,
    RunStarted = 118,
    // Each checked table: its rows run inside its step, and so does the first table's row estimate.
    CountTables = 120,
    Checked = 122,
    Table = 124,
    Progress = 138,  // the rows read so far, and the table's end
    // Each row and the addresses it holds.
    Row = 148,
    Address = 152,
    // The connection closed.
    Close = 170,
};

inline constexpr std::string_view kSwitchDatabaseLocation =
    "in Kestrelwick2017/04/05.Form2.PushButton5_Click ";
enum class SwitchDatabaseStep {
    ShowConnectionWindow = 100,
    Hide = 102,
};

inline constexpr std::string_view kClearListLocation = "in Kestrelwick2017/04/05.Form2.PushButton9_Click ";
enum class ClearListStep {
    Clear = 100,
};

}  // namespace kestrelmoor
