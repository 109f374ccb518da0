#include "app/program.h"
#include "core/identity.h"
#include "ui/qt/main_window.h"
#include "ui/qt/program_icon.h"
#include "ui/qt/qt_window_system.h"

#include <exception>
#include <string>
#include <vector>

#include <QApplication>
#include <QMessageBox>

int main(int argc, char* argv[]) {
    // Read before the application object exists, so that --help and
    // --version need no display.
    quorvel::ProgramOptions options;
    if (const auto status = quorvel::ReadCommandLine({argv + 1, argv + argc}, options)) {
        return *status;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(quorvel::kProgramName);
    QApplication::setApplicationVersion(quorvel::kProgramVersion);
    // Ties the windows to the installed desktop entry, for its name and icon.
    QGuiApplication::setDesktopFileName(quorvel::kDesktopFileId);
    QApplication::setWindowIcon(quorvel::ui::ProgramIcon());

    try {
        quorvel::ui::QtWindowSystem windows;
        quorvel::Program program(windows, options);

        quorvel::ui::MainWindow window(program.GetInstaller());
        window.Load();
        window.show();
        return QApplication::exec();
    } catch (const std::exception& error) {
        QMessageBox::critical(nullptr, quorvel::kApplicationTitle,
                              QString("quorvel stopped: %1").arg(error.what()));
        return 1;
    }
}
