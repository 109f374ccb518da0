// Saves pictures of the program's windows, client areas only, for the
// documentation:
//
//   quorvel_screenshots <folder> <wine-prefix>
//
// writes form2.png and form3.png (the detail dialogs), then main-before.png
// and main-after.png: the main window after start-up and after an
// installation answered Medium and Highest. The main window works on the
// given Wine prefix, whose custom.cfg it rewrites: pass a throwaway copy.
//
// Run it with QT_QPA_PLATFORM=offscreen to need no display; see
// scripts/screenshots.sh.

#include "app/program.h"
#include "core/installer.h"
#include "tests/ui/qt/modal_windows.h"
#include "ui/qt/detail_dialog.h"
#include "ui/qt/main_window.h"
#include "ui/qt/qt_window_system.h"

#include <cstdio>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPixmap>
#include <QString>

namespace {

bool Save(QWidget& window, const QDir& folder, const char* fileName) {
    window.show();
    QApplication::processEvents();
    const QString path = folder.filePath(QString::fromLatin1(fileName));
    const bool saved = window.grab().save(path, "PNG");
    std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
    return saved;
}

bool SaveDialog(quorvel::DetailDialogKind kind, const QDir& folder, const char* fileName) {
    quorvel::ui::DetailDialog dialog(kind);
    return Save(dialog, folder, fileName);
}

bool SaveMainWindow(const QDir& folder) {
    quorvel::ProgramOptions options;
    (void)quorvel::ReadCommandLine({}, options);
    quorvel::ui::QtWindowSystem windows;
    quorvel::Program program(windows, options);
    quorvel::ui::MainWindow window(program.GetInstaller());
    // The player's part: the prompt keeps the folder it offers.
    quorvel::test::ModalWindows player;
    player.Then(quorvel::ui::kPromptObjectName, quorvel::test::Press("OK"));
    window.Load();
    bool saved = Save(window, folder, "main-before.png");
    player.Then("Form2", quorvel::test::Press("Medium"));
    player.Then("Form3", quorvel::test::Press("Highest"));
    player.Then(quorvel::ui::kMessageObjectName, quorvel::test::Press("OK"));
    window.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    const QString caption = window.findChild<QLabel*>(QStringLiteral("Label1"))->text();
    if (caption != QLatin1String(quorvel::kNewSettingsCaption)) {
        std::fprintf(stderr, "the installation did not finish\n");
        return false;
    }
    return Save(window, folder, "main-after.png") && saved;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: quorvel_screenshots <folder> <wine-prefix>\n");
        return 2;
    }
    QDir folder(args.at(1));
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(args.at(1)));
        return 1;
    }
    qputenv("WINEPREFIX", QFile::encodeName(args.at(2)));

    const bool form2 = SaveDialog(quorvel::DetailDialogKind::Texture, folder, "form2.png");
    const bool form3 = SaveDialog(quorvel::DetailDialogKind::Model, folder, "form3.png");
    const bool main = SaveMainWindow(folder);
    return form2 && form3 && main ? 0 : 1;
}
