#include "ui/qt/program_icon.h"

#include <QString>

namespace quorvel::ui {

QIcon ProgramIcon() {
    return QIcon(QString::fromLatin1(kProgramIconPath));
}

} // namespace quorvel::ui
