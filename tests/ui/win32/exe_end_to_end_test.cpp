// The Windows program itself, quorvel.exe, driven from outside as a player
// drives it: the game folder in the registry, a throwaway game folder, and
// every window the program opens answered through its real controls. Each
// case compares both configuration files byte for byte afterwards.

#include "core/identity.h"
#include "core/installer.h"
#include "core/line_buffer.h"
#include "platform/windows/file_paths.h"
#include "tests/support/control_named.h"
#include "tests/support/game_folder.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_data.h"
#include "tests/support/windows/test_roots.h"
#include "tests/ui/win32/window_driver.h"
#include "ui/forms/form_shapes.h"
#include "ui/win32/control_ids.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quorvel {
namespace {

using test::ReadIfThere;

using test::ChildOf;
using test::Control;
using test::kCloseWindow;
using test::kEscapeThenEnter;
using test::kPlayerCustomCfg;
using test::SessionLog;
using test::Step;
using Lines = std::vector<std::string>;

constexpr const char* kInstall = "Install Quorvel Config";
constexpr const char* kCheck = "Need to go Check";
constexpr const char* kTexture = "Texture Detail";
constexpr const char* kModel = "Model Detail";

std::string Exe() {
    std::string path = QUORVEL_EXE_FILE;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

// `text` with its first `from` replaced by `to`; throws where it has none.
std::string Edited(std::string text, const std::string& from, const std::string& to = "") {
    return text.replace(text.find(from), from.size(), to);
}

// The rows a list shows for the file `text`: its lines without their outer
// spaces, and an empty one after the final line end.
Lines RowsOf(const std::string& text) {
    Lines rows;
    std::size_t begin = 0;
    for (std::size_t end; (end = text.find("\r\n", begin)) != std::string::npos; begin = end + 2) {
        rows.emplace_back(TrimSpaces(std::string_view(text).substr(begin, end - begin)));
    }
    rows.emplace_back(TrimSpaces(std::string_view(text).substr(begin)));
    return rows;
}

// List1, found by its control ID.
HWND List1(HWND window) {
    const HWND list = GetDlgItem(window, 201);
    return list && IsWindowVisible(list) ? list : nullptr;
}

// What a screen reader meets as `form`'s window opens, asked from another
// process: a dialog of the system's class (#32770), which screen readers
// announce as a dialog, reading out its text; `caption` as its name; and
// the text of `label` as that label's accessible name. A question window
// opens with its question: the text comes first among its children.
std::function<void(HWND)> ReadAs(const forms::FormShape& form, const char* caption,
                                 const char* label) {
    const forms::ControlShape& text = forms::ControlNamed(form, label);
    return [&form, &text, caption](HWND window) {
        EXPECT_EQ(test::KindOf(window), "#32770");
        EXPECT_EQ(test::AccessibleNameOf(window), caption);
        const HWND control = GetDlgItem(window, win32::ControlId(text.name));
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(test::AccessibleNameOf(control), text.text);
        if (&form != &forms::MainForm()) {
            EXPECT_EQ(GetWindow(window, GW_CHILD), control);
        }
    };
}

const auto kReadsTexture = ReadAs(forms::DetailForm(DetailDialogKind::Texture), kTexture, "Label1");
const auto kReadsModel = ReadAs(forms::DetailForm(DetailDialogKind::Model), kModel, "Label1");

// The prompt, checked to offer `offered` in a field named by the prompt's
// text before the main window shows, and answered with `button`.
Step PromptOffering(const std::string& offered, const char* button = "OK") {
    return {kFolderPromptTitle, button, [offered](HWND prompt) {
                const HWND edit = ChildOf(prompt, "Edit");
                ASSERT_NE(edit, nullptr);
                EXPECT_EQ(test::TextOf(edit), offered);
                EXPECT_EQ(test::LabelOf(edit), kFolderPrompt);
                const HWND main = FindWindowA(nullptr, kMainWindowCaption);
                EXPECT_FALSE(main && IsWindowVisible(main));
            }};
}

class ExeEndToEndTest : public ::testing::Test {
protected:
    ExeEndToEndTest() { game_.Write("custom.cfg", kPlayerCustomCfg); }

    SessionLog Run(const std::vector<Step>& steps) {
        return test::RunSession(Exe(), game_.Prefix().string(), steps);
    }

    Step Prompt(const char* button = "OK") { return PromptOffering(game_.WindowsPath(), button); }

    test::GameFolder game_;
    test::GameFolderSetting setting_{game_.WindowsPath()};
};

// One or more runs of the program, each pressing the install button and
// answering both dialogs the same way.
struct Installation {
    const char* name;
    const char* install; // how the install button is pressed
    const char* texture; // what is done in "Texture Detail"
    const char* model;   // in "Model Detail"; nullptr where it must not open
    std::string custom;
    std::optional<std::string> newconfig;
    int runs = 1;
    Lines focused = {}; // the focused control at each key step
};

const std::string kInstalled = test::ExpectedFile("custom_medium_highest.cfg");
const std::string kEarlierLines = "\r\nbind MOUSE1 \"+attack\"\r\n\r\n";

// One run that installs, answered Medium and Highest, started in `folder`;
// `main` looks at the main window first.
SessionLog InstallMediumHighest(const std::string& folder, Step prompt,
                                std::function<void(HWND)> main = {}) {
    return test::RunSession(Exe(), folder,
                            {std::move(prompt),
                             {kMainWindowCaption, kInstall, std::move(main)},
                             {kTexture, "Medium"},
                             {kModel, "Highest"},
                             {kApplicationTitle, "OK"},
                             {kMainWindowCaption, "Exit"}});
}

// A first installation into `game`, laid out with the player's custom.cfg,
// with `stored` as the registry's game folder: told as such, and both files
// written. `main` looks at the main window first.
void ExpectFirstInstallation(const std::filesystem::path& game, const std::string& stored,
                             Step prompt, std::function<void(HWND)> main = {}) {
    const std::filesystem::path mainta = game / "mainta";
    std::filesystem::create_directories(mainta);
    test::WriteBytes(mainta / "custom.cfg", kPlayerCustomCfg);
    const test::GameFolderSetting setting(stored);
    const SessionLog log = InstallMediumHighest(std::filesystem::temp_directory_path().string(),
                                                std::move(prompt), std::move(main));
    EXPECT_EQ(log.unmet, Lines{});
    EXPECT_TRUE(log.ended);
    EXPECT_EQ(log.messages, Lines{kInstalledMessage});
    EXPECT_EQ(test::ReadBytes(mainta / "custom.cfg"), kInstalled);
    EXPECT_EQ(test::ReadBytes(mainta / "newconfig.cfg"), kEarlierLines);
}

const std::string kEarlierWithPicmip = "\r\nbind MOUSE1 \"+attack\"\r\nsetu r_picmip 1\r\n\r\n";

const Installation kInstallations[] = {
    {"FirstInstallation", kInstall, "Medium", "Highest", kInstalled, kEarlierLines},
    // Each later run reads newconfig.cfg back, with its empty first and last lines.
    {"RepeatedInANewRun", kInstall, "Medium", "Highest", kInstalled,
     "\r\n" + kEarlierLines + "\r\n", 2},
    {"NeedToGoCheckInTextureDetail", kInstall, kCheck, nullptr, kPlayerCustomCfg, {}},
    {"NeedToGoCheckInModelDetail", kInstall, "Medium", kCheck, kPlayerCustomCfg, {}},
    {"TextureDetailClosed", kInstall, kCloseWindow, "Highest",
     Edited(kInstalled, "setu r_picmip 1\r\n"), kEarlierWithPicmip},
    {"ModelDetailClosed", kInstall, "Medium", kCloseWindow,
     Edited(kInstalled, "setu r_lodcap 1\r\nsetu r_lodscale 1\r\nsetu r_lodviewmodelcap 1\r\n"),
     kEarlierLines},
    // Escape does nothing, and Enter presses the focused button, which is
    // the first one in each window.
    {"EscapeDoesNothingAndEnterPressesTheFocusedButton", kEscapeThenEnter, kEscapeThenEnter,
     kEscapeThenEnter, Edited(kInstalled, "setu r_picmip 1", "setu r_picmip 0"), kEarlierWithPicmip,
     1, Lines{kInstall, "High", "Highest"}},
};

class ExeInstallationTest : public ExeEndToEndTest,
                            public ::testing::WithParamInterface<Installation> {};

TEST_P(ExeInstallationTest, WritesBothFilesAsExpected) {
    const Installation& row = GetParam();
    const bool installs =
        row.model && row.texture != std::string(kCheck) && row.model != std::string(kCheck);
    for (int run = 1; run <= row.runs; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        // The window shows custom.cfg as it was before the run.
        const Lines before = RowsOf(game_.Read("custom.cfg").value_or(""));
        std::vector<Step> steps{
            Prompt(),
            {kMainWindowCaption, row.install,
             [&before](HWND window) {
                 ReadAs(forms::MainForm(), kMainWindowCaption, "Label2")(window);
                 ASSERT_NE(List1(window), nullptr);
                 EXPECT_EQ(test::LabelOf(List1(window)), "Current Custom.cfg settings");
                 EXPECT_EQ(test::ListRows(List1(window)), before);
             }},
            {kTexture, row.texture, kReadsTexture}};
        if (row.model) {
            steps.push_back({kModel, row.model, kReadsModel});
        }
        if (installs) {
            steps.push_back({kApplicationTitle, "OK"});
            // The window shows the new custom.cfg, under its new caption.
            steps.push_back({kMainWindowCaption, "Exit", [&row](HWND window) {
                                 const HWND list = List1(window);
                                 ASSERT_NE(list, nullptr);
                                 const Lines rows = RowsOf(row.custom);
                                 EXPECT_TRUE(test::WaitUntil([&] {
                                     return ChildOf(window, "Static", kNewSettingsCaption) &&
                                            test::ListRows(list) == rows;
                                 }));
                             }});
        }
        const SessionLog log = Run(steps);
        EXPECT_EQ(log.unmet, Lines{});
        EXPECT_TRUE(log.ended);
        EXPECT_EQ(log.messages, installs ? Lines{kInstalledMessage} : Lines{});
        EXPECT_EQ(log.focused, row.focused);
    }
    EXPECT_EQ(game_.Read("custom.cfg"), row.custom);
    EXPECT_EQ(game_.Read("newconfig.cfg"), row.newconfig);
}

INSTANTIATE_TEST_SUITE_P(Exe, ExeInstallationTest, ::testing::ValuesIn(kInstallations),
                         [](const auto& row) { return std::string(row.param.name); });

// A cancelled prompt leaves the game folder empty: the program then looks for
// \mainta\custom.cfg on the current drive, and finds nothing there.
TEST_F(ExeEndToEndTest, CancelledPromptShowsAnEmptyList) {
    const SessionLog log =
        Run({Prompt("Cancel"), {kMainWindowCaption, "Exit", [](HWND window) {
                                    ASSERT_NE(List1(window), nullptr);
                                    EXPECT_EQ(test::ListRows(List1(window)), Lines{});
                                }}});
    EXPECT_EQ(log.unmet, Lines{});
    EXPECT_TRUE(log.ended);
    EXPECT_EQ(game_.Read("custom.cfg"), kPlayerCustomCfg);
    EXPECT_EQ(game_.Read("newconfig.cfg"), std::nullopt);
}

// A game folder whose path passes 260 characters shows its custom.cfg and
// installs like any other.
TEST(ExeLongPath, AGameFolderPastTheClassicLimitInstalls) {
    const test::TempDir dir;
    std::filesystem::path game = dir.Path() / "Games";
    while (game.string().size() < 300) {
        game /= std::string(40, 'd');
    }
    game /= "MOHAA";
    const auto shown = [](HWND window) {
        ASSERT_NE(List1(window), nullptr);
        EXPECT_TRUE(test::WaitUntil(
            [&] { return test::ListRows(List1(window)) == test::kPlayerCustomCfgShown; }));
    };
    ExpectFirstInstallation(game, game.string(), {kFolderPromptTitle, "OK"}, shown);
}

// A detail dialog made larger and smaller by the player keeps its controls
// where they were.
TEST_F(ExeEndToEndTest, DetailDialogsKeepTheirControlsWhereTheyAreWhenResized) {
    const auto resize = [](HWND window) {
        const std::vector<Control> before = test::ControlsOf(window);
        const SIZE client = test::ClientSize(window);
        RECT frame{};
        GetWindowRect(window, &frame);
        for (const int grow : {200, -100}) {
            SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left + grow,
                         frame.bottom - frame.top + grow, SWP_NOMOVE | SWP_NOZORDER);
            EXPECT_EQ(test::ClientSize(window).cx, client.cx + grow);
            EXPECT_EQ(test::ControlsOf(window), before) << "grown by " << grow;
        }
    };
    const SessionLog log = Run({Prompt(),
                                {kMainWindowCaption, kInstall},
                                {kTexture, "Medium", resize},
                                {kModel, kCheck, resize}});
    EXPECT_EQ(log.unmet, Lines{});
}

// Form1 has no default button: with List1 focused, neither button is drawn
// as one, as the dialog manager would draw Command1 (whose ID is IDOK).
TEST_F(ExeEndToEndTest, NoButtonIsTheDefaultWhileTheListHasTheFocus) {
    const auto drawnAsDefault = [](HWND button) {
        return (GetWindowLongA(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    };
    const auto look = [&](HWND window) {
        const HWND install = GetDlgItem(window, win32::kCommand1);
        ASSERT_TRUE(test::WaitUntil([&] { return test::FocusOf(window) == install; }));
        PostMessageA(install, WM_KEYDOWN, VK_TAB, 0);
        ASSERT_TRUE(test::WaitUntil([&] { return test::FocusOf(window) == List1(window); }));
        EXPECT_FALSE(drawnAsDefault(install));
        EXPECT_FALSE(drawnAsDefault(GetDlgItem(window, win32::kCommand2)));
    };
    const SessionLog log = Run({Prompt(), {kMainWindowCaption, "Exit", look}});
    EXPECT_EQ(log.unmet, Lines{});
}

// The window system's class of a control of the windows' table, in lower case.
std::string ClassOf(forms::ControlKind kind) {
    using forms::ControlKind;
    return kind == ControlKind::Button                                    ? "button"
           : kind == ControlKind::List || kind == ControlKind::HiddenList ? "syslistview32"
           : kind == ControlKind::EditField                               ? "edit"
                                                                          : "static";
}

// Checks a window against `form` of the windows' table at `dpi`: its client
// size and each control's kind, button text, box and whether it shows. A
// label whose text needs more lines than its box holds may grow down, as far
// as the table lets it. Empty where the screen of Wine's null display (1,024
// pixels wide) cannot hold the window, as Form1 at 192 dpi.
std::function<void(HWND)> LaidOutAs(const forms::FormShape& form, int dpi) {
    const auto scaled = [dpi](int length) { return forms::ScaleToDpi(length, dpi); };
    if (scaled(form.clientWidth) >= GetSystemMetrics(SM_CXMAXTRACK)) {
        std::cout << form.name << " is left out: the screen is " << GetSystemMetrics(SM_CXSCREEN)
                  << " pixels wide\n";
        return {};
    }
    return [&form, dpi, scaled](HWND window) {
        const SIZE client = test::ClientSize(window);
        EXPECT_EQ(client.cx, scaled(form.clientWidth));
        EXPECT_EQ(client.cy, scaled(form.clientHeight));
        EXPECT_EQ(test::ControlsOf(window).size(), form.controls.size());
        for (const forms::ControlShape& shape : form.controls) {
            const forms::Box& box = shape.box;
            const bool label = ClassOf(shape.kind) == "static";
            Control actual =
                test::ControlOf(window, GetDlgItem(window, win32::ControlId(shape.name)));
            if (label && actual.height > scaled(box.height) &&
                actual.height <= forms::LabelHeight(form, shape, INT_MAX, dpi)) {
                actual.height = scaled(box.height);
            }
            EXPECT_EQ(actual,
                      (Control{ClassOf(shape.kind), label ? "" : shape.text, scaled(box.left),
                               scaled(box.top), scaled(box.width), scaled(box.height),
                               shape.kind != forms::ControlKind::HiddenList}))
                << form.name << " " << shape.name;
        }
    };
}

class ExeDensityTest : public ExeEndToEndTest, public ::testing::WithParamInterface<int> {};

TEST_P(ExeDensityTest, WindowsMatchTheTableScaledToTheDensity) {
    const test::DpiSetting density(GetParam());
    const SessionLog log = Run({
        Prompt(),
        {kMainWindowCaption, kInstall, LaidOutAs(forms::MainForm(), GetParam())},
        {kTexture, "Medium", LaidOutAs(forms::DetailForm(DetailDialogKind::Texture), GetParam())},
        {kModel, kCheck, LaidOutAs(forms::DetailForm(DetailDialogKind::Model), GetParam())},
    });
    EXPECT_EQ(log.unmet, Lines{});
    EXPECT_TRUE(log.ended);
}

INSTANTIATE_TEST_SUITE_P(Exe, ExeDensityTest, ::testing::Values(96, 144, 192),
                         [](const auto& dpi) { return "Dpi" + std::to_string(dpi.param); });

// An environment variable of this process, and so of the program it starts,
// set for as long as the object lives.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const std::string& value) : name_(name) {
        char old[32768];
        const DWORD length = GetEnvironmentVariableA(name, old, sizeof old);
        if (length > 0 && length < sizeof old) {
            old_ = std::string(old, length);
        }
        SetEnvironmentVariableA(name, value.c_str());
    }
    ~ScopedVariable() { SetEnvironmentVariableA(name_, old_ ? old_->c_str() : nullptr); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

// A game folder below %ProgramFiles% whose custom.cfg has a per-user copy
// in %LOCALAPPDATA%: the copy is read and replaced, the game folder's stale
// file left alone. (Wine sets %ProgramFiles% for each program itself, so the
// game goes below the real one.) The service's other cases are checked
// without the program in virtual_store_files_test.cpp.
TEST(ExeVirtualStoreTest, InstallsIntoThePerUserCopy) {
    const char* programFiles = std::getenv("ProgramFiles");
    ASSERT_NE(programFiles, nullptr);
    const test::TempDir root(programFiles);
    const test::TempDir local;
    const std::filesystem::path mainta = root.Path() / "MOHAA" / "mainta";
    const std::filesystem::path copy(local.Path().string() + "\\VirtualStore" +
                                     mainta.string().substr(2));
    std::filesystem::create_directories(mainta);
    std::filesystem::create_directories(copy);
    test::WriteBytes(mainta / "custom.cfg", "seta r_stale 1\r\n");
    test::WriteBytes(copy / "custom.cfg", kPlayerCustomCfg);
    const ScopedVariable localAppData("LOCALAPPDATA", local.Path().string());
    const test::GameFolderSetting setting((root.Path() / "MOHAA").string());

    const SessionLog log = InstallMediumHighest(root.Path().string(), {kFolderPromptTitle, "OK"});
    EXPECT_EQ(log.messages, Lines{kInstalledMessage});
    EXPECT_EQ(ReadIfThere(copy / "custom.cfg"), kInstalled);
    EXPECT_EQ(ReadIfThere(mainta / "custom.cfg"), "seta r_stale 1\r\n");
    EXPECT_EQ(ReadIfThere(mainta / "newconfig.cfg"), kEarlierLines);
}

// With no game folder in the registry, OpenMoHAA's user folder in %APPDATA%
// is offered, whole though its path holds an "aa", and installed into.
TEST(ExeOpenMohaaTest, OfferedWhereTheRegistryHoldsNoFolder) {
    const test::TempDir dir;
    const std::filesystem::path appData = dir.Path() / "Kaarina" / "Roaming";
    const ScopedVariable appDataVariable("APPDATA", appData.string());
    ExpectFirstInstallation(appData / "openmohaa", "",
                            PromptOffering((appData / "openmohaa").string()));
}

// A game folder named in letters outside the code page, found through the
// registry: the prompt shows it as it is, and both files are installed.
TEST(ExeUnicodeFolderTest, AFolderNamedOutsideTheCodePageInstalls) {
    const test::TempDir dir;
    // Made and read back by its UTF-16 name.
    const std::filesystem::path game = dir.Path() / "Games" / L"\u0141\u00f3d\u017a" / "MOHAA";
    const std::string text = windows_paths::ProgramText(game.wstring());
    ExpectFirstInstallation(game, text, PromptOffering(text));
}

} // namespace
} // namespace quorvel
