// Saves a picture of each detail dialog's client area for the documentation:
//
//   quorvel_screenshots <folder>   writes <folder>/form2.png and <folder>/form3.png
//
// Run it with QT_QPA_PLATFORM=offscreen to need no display; see
// scripts/screenshots.sh.

#include "detail_dialog.h"

#include <cstdio>

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QString>

namespace {

bool Save(quorvel::DetailDialogKind kind, const QDir& folder, const char* fileName) {
    quorvel::LineList installList;
    quorvel::AbortFlagValue abortFlag;
    quorvel::ui::DetailDialog dialog(kind, installList, abortFlag);
    dialog.show();
    QApplication::processEvents();
    const QString path = folder.filePath(QString::fromLatin1(fileName));
    const bool saved = dialog.grab().save(path, "PNG");
    std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
    dialog.close();
    return saved;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: quorvel_screenshots <folder>\n");
        return 2;
    }
    QDir folder(args.at(1));
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(args.at(1)));
        return 1;
    }
    const bool form2 = Save(quorvel::DetailDialogKind::Texture, folder, "form2.png");
    const bool form3 = Save(quorvel::DetailDialogKind::Model, folder, "form3.png");
    return form2 && form3 ? 0 : 1;
}
