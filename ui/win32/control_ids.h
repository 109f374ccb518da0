#pragma once

// The control IDs of quorvel.exe's windows, for GetDlgItem. The IDs stay as
// they are: tools that drive the program from outside rely on them. Every
// window is of the system's dialog class (#32770), so that screen readers
// take it for a dialog and read its text when it opens.
//
// Every form uses one scheme: CommandN has ID N, Label1 and Label2 have 101
// and 102, List1 and List2 201 and 202.
//
//   Form1 "Quorvel Config Setup 3.2"
//       Command1 "Install Quorvel Config" 1, Command2 "Exit" 2,
//       Label1 101, Label2 102, List1 201 (custom.cfg), List2 202 (hidden)
//   Form2 "Texture Detail"
//       Command1..Command4 1..4 ("High", "Medium", "Low", "Need to go Check"), Label1 101
//   Form3 "Model Detail"
//       Command1..Command7 1..7 ("Highest", "Higher", "High", "Med", "Low", "Lowest",
//       "Need to go Check"), Label1 101
//   The folder prompt "MOHAA Path"
//       text 301, edit field 302, OK IDOK (1), Cancel IDCANCEL (2)
//
// The lists are virtual list views (SysListView32, LVS_OWNERDATA) with one
// column: LVM_GETITEMCOUNT gives the number of rows and LVM_GETITEMTEXT the
// text of a row, also from another process.
//
// The forms' controls, their texts and places are in ui/forms/form_shapes.h;
// ControlId gives the ID of a control named there.

#include <stdexcept>
#include <string>
#include <string_view>
#include <windows.h>

namespace quorvel::win32 {

inline constexpr int kCommand1 = 1;
inline constexpr int kCommand2 = 2;
inline constexpr int kLabel1 = 101;
inline constexpr int kLabel2 = 102;
inline constexpr int kList1 = 201;
inline constexpr int kList2 = 202;

inline constexpr int kPromptText = 301;
inline constexpr int kPromptEdit = 302;

// An ID no control has.
inline constexpr int kNoControl = 0xFFFF;

// The ID of the control of that object name; a name outside the scheme is a
// programming error (std::logic_error).
inline int ControlId(std::string_view name) {
    constexpr std::string_view command = "Command";
    if (name.size() == command.size() + 1 && name.starts_with(command) && name.back() >= '1' &&
        name.back() <= '9') {
        return name.back() - '0';
    }
    struct Named {
        std::string_view name;
        int id;
    };
    constexpr Named kNamed[] = {
        {"Label1", kLabel1}, {"Label2", kLabel2},         {"List1", kList1},
        {"List2", kList2},   {"PromptText", kPromptText}, {"PromptEdit", kPromptEdit},
        {"OK", IDOK},        {"Cancel", IDCANCEL},
    };
    for (const Named& named : kNamed) {
        if (named.name == name) {
            return named.id;
        }
    }
    throw std::logic_error("no control ID for " + std::string(name));
}

} // namespace quorvel::win32
