#include "ui/qt/qt_window_system.h"

#include "ui/qt/detail_dialog.h"

#include <QByteArray>
#include <QInputDialog>
#include <QMessageBox>
#include <QString>

namespace quorvel::ui {
namespace {

QString ToQt(const std::string& text) {
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

std::string FromQt(const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

} // namespace

std::string QtWindowSystem::Prompt(const std::string& text, const std::string& title,
                                   const std::string& defaultAnswer) {
    QInputDialog dialog(nullptr);
    dialog.setObjectName(QString::fromLatin1(kPromptObjectName));
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(ToQt(title));
    dialog.setLabelText(ToQt(text));
    dialog.setTextValue(ToQt(defaultAnswer));
    // The toolkit lays its prompt out itself; the words are the program's.
    const forms::FormShape& shape = forms::PromptForm();
    for (const forms::ControlShape& control : shape.controls) {
        if (control.role == forms::ButtonRole::Confirm) {
            dialog.setOkButtonText(QString::fromLatin1(control.text));
        } else if (control.role == forms::ButtonRole::Cancel) {
            dialog.setCancelButtonText(QString::fromLatin1(control.text));
        }
    }
    if (dialog.exec() != QDialog::Accepted) {
        return std::string();
    }
    return FromQt(dialog.textValue());
}

void QtWindowSystem::ShowMessage(const std::string& text, const std::string& title,
                                 MessageIcon icon) {
    const QMessageBox::Icon boxIcon =
        icon == MessageIcon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon;
    QMessageBox box(boxIcon, ToQt(title), ToQt(text), QMessageBox::Ok, nullptr);
    box.setObjectName(QString::fromLatin1(kMessageObjectName));
    box.setWindowModality(Qt::ApplicationModal);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

DetailDialogResult QtWindowSystem::ShowDetailDialog(DetailDialogKind kind) {
    DetailDialog dialog(kind);
    dialog.exec();
    return dialog.Result();
}

} // namespace quorvel::ui
