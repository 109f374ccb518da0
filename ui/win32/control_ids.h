#pragma once

// The control IDs of quorvel.exe's windows, for GetDlgItem, and the window
// classes of its forms. The IDs stay as they are: tools that drive the
// program from outside rely on them.
//
// Every form uses one scheme: CommandN has ID N, Label1 and Label2 have 101
// and 102, List1 and List2 201 and 202.
//
//   Form1 "Quorvel Config Setup 3.2"  class QuorvelForm1
//       Command1 "Install Quorvel Config" 1, Command2 "Exit" 2,
//       Label1 101, Label2 102, List1 201 (custom.cfg), List2 202 (hidden)
//   Form2 "Texture Detail"             class QuorvelDetailDialog
//       Command1..Command4 1..4 ("High", "Medium", "Low", "Need to go Check"), Label1 101
//   Form3 "Model Detail"               class QuorvelDetailDialog
//       Command1..Command7 1..7 ("Highest", "Higher", "High", "Med", "Low", "Lowest",
//       "Need to go Check"), Label1 101
//   The folder prompt "MOHAA Path"     the system's dialog class (#32770)
//       text 301, edit field 302, OK IDOK (1), Cancel IDCANCEL (2)
//
// The lists are virtual list views (SysListView32, LVS_OWNERDATA) with one
// column: LVM_GETITEMCOUNT gives the number of rows and LVM_GETITEMTEXT the
// text of a row, also from another process.
//
// The resource compiler reads this file too, for the prompt's IDs only.

#define QUORVEL_IDD_PROMPT 300
#define QUORVEL_IDC_PROMPT_TEXT 301
#define QUORVEL_IDC_PROMPT_EDIT 302

#ifndef RC_INVOKED

namespace quorvel::win32 {

inline constexpr int kCommand1 = 1;
inline constexpr int kCommand2 = 2;
inline constexpr int kCommand3 = 3;
inline constexpr int kCommand4 = 4;
inline constexpr int kCommand5 = 5;
inline constexpr int kCommand6 = 6;
inline constexpr int kCommand7 = 7;
inline constexpr int kLabel1 = 101;
inline constexpr int kLabel2 = 102;
inline constexpr int kList1 = 201;
inline constexpr int kList2 = 202;

inline constexpr int kPromptDialog = QUORVEL_IDD_PROMPT;
inline constexpr int kPromptText = QUORVEL_IDC_PROMPT_TEXT;
inline constexpr int kPromptEdit = QUORVEL_IDC_PROMPT_EDIT;

inline constexpr const wchar_t* kMainWindowClass = L"QuorvelForm1";
inline constexpr const wchar_t* kDetailDialogClass = L"QuorvelDetailDialog";

} // namespace quorvel::win32

#endif
