#pragma once

// The two detail questions of an installation, asked in dialogs of one shape:
// a word-wrapped label and a row or two of push buttons, all at fixed places.
//
//   Form2, "Texture Detail": High, Medium, Low, Need to go Check
//   Form3, "Model Detail":   Highest, Higher, High, Med, Low, Lowest, Need to go Check
//
// A button closes the dialog, which then tells which one it was; what an
// answer means is the installer's business. The title-bar close button
// closes it with no answer. Escape does nothing.

#include "core/detail_choices.h"
#include "platform/window_system.h"

#include <QDialog>

class QCloseEvent;
class QKeyEvent;
class QShowEvent;

namespace quorvel::ui {

class DetailDialog : public QDialog {
    Q_OBJECT

public:
    // A new dialog, application-modal and without an owner, centred on the
    // screen.
    explicit DetailDialog(DetailDialogKind kind);

    // How the dialog ended; closed without an answer while it is still open.
    const DetailDialogResult& Result() const { return result_; }

    // Does nothing. Escape rejects a QDialog, and this one must stay open
    // until the player picks a button or closes the window.
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void End(DialogOutcome outcome, std::string answer);

    DetailDialogResult result_;
    bool ended_ = false;
    bool placedWithFrame_ = false;
};

} // namespace quorvel::ui
