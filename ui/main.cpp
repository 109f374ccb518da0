#include "installer.h"
#include "main_window.h"
#include "native.h"
#include "program_icon.h"
#include "qt_window_system.h"

#include <exception>

#include <QApplication>
#include <QMessageBox>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("quorvel");
    QApplication::setApplicationVersion("1.00");
    // Ties the windows to the installed desktop entry, for its name and icon.
    QGuiApplication::setDesktopFileName("io.github.quorvel.Quorvel");
    QApplication::setWindowIcon(quorvel::ui::ProgramIcon());

    try {
        auto registry = quorvel::MakeNativeRegistryStore();
        auto files = quorvel::MakeNativeFileService();
        quorvel::ui::QtWindowSystem windows;
        quorvel::Installer installer(windows, *registry, *files);

        quorvel::ui::MainWindow window(installer);
        window.Load();
        window.show();
        return QApplication::exec();
    } catch (const std::exception& error) {
        QMessageBox::critical(nullptr, "quorvel", QString("quorvel stopped: %1").arg(error.what()));
        return 1;
    }
}
