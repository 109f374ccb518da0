#include "app/program.h"
#include "core/identity.h"
#include "ui/qt/main_window.h"
#include "ui/qt/program_icon.h"
#include "ui/qt/qt_window_system.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include <QApplication>
#include <QMessageBox>

namespace {

// Qt's own handler, for everything but the fatal failure to open a display.
QtMessageHandler qtHandler = nullptr;

// Without a display, making the application fails fatally in Qt, which
// aborts. The player hears why instead, and the program ends with status 1.
void NoDisplayHandler(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtFatalMsg) {
        qtHandler(type, context, text);
        return;
    }
    std::fputs("quorvel: there is no display to show the windows on; quorvel needs one (a "
               "desktop session, with DISPLAY or WAYLAND_DISPLAY set)\n",
               stderr);
    std::_Exit(1);
}

} // namespace

int main(int argc, char* argv[]) {
    // Read before the application object exists, so that --help and
    // --version need no display.
    quorvel::ProgramOptions options;
    if (const auto status = quorvel::ReadCommandLine({argv + 1, argv + argc}, options)) {
        return *status;
    }

    qtHandler = qInstallMessageHandler(NoDisplayHandler);
    QApplication app(argc, argv);
    qInstallMessageHandler(qtHandler);
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
