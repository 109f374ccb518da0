// The detail dialogs, the prompt and the message box of the Qt window
// system, driven through their real widgets. That the dialogs are drawn as
// the windows' table says is checked with the main window.

#include "tests/ui/qt/modal_windows.h"
#include "ui/qt/qt_window_system.h"

#include <string>

#include <QDialogButtonBox>
#include <QInputDialog>
#include <QMessageBox>
#include <QScreen>

using quorvel::DetailDialogKind;
using quorvel::MessageIcon;
using quorvel::test::ModalWindows;
using quorvel::test::Step;

Q_DECLARE_METATYPE(quorvel::DetailDialogKind)

namespace {

// The text of the focused button, marked where it is the dialog's default
// button, which Enter would press wherever the focus is.
QString FocusText(QWidget& window) {
    auto* button = qobject_cast<QPushButton*>(window.focusWidget());
    return !button               ? "<no button>"
           : button->isDefault() ? button->text() + " (default)"
                                 : button->text();
}

// A key pressed as the player would: at the focused control.
void Key(QWidget& window, Qt::Key key) {
    QTest::keyClick(window.focusWidget() ? window.focusWidget() : &window, key,
                    key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
}

QMap<QString, QRect> ControlBoxes(QWidget& window) {
    QMap<QString, QRect> boxes;
    for (QWidget* child : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        boxes.insert(child->objectName(), child->geometry());
    }
    return boxes;
}

} // namespace

class DetailDialogTest : public QObject {
    Q_OBJECT

    quorvel::ui::QtWindowSystem windows_;

    // How a showing worked by `step` ended: "answered High", "need to check"
    // or "closed", and " after staying open" where the step left it open.
    QString Show(DetailDialogKind kind, Step step) {
        ModalWindows modals;
        modals.Then(kind == DetailDialogKind::Texture ? "Form2" : "Form3", std::move(step));
        const quorvel::DetailDialogResult result = windows_.ShowDetailDialog(kind);
        const QString ended = result.outcome == quorvel::DialogOutcome::Answered
                                  ? "answered " + QString::fromStdString(result.answer)
                              : result.outcome == quorvel::DialogOutcome::NeedToCheck
                                  ? "need to check"
                                  : "closed";
        return modals.leftOpen.isEmpty() ? ended : ended + " after staying open";
    }

private slots:
    // Focus starts on the first button and Tab goes round the buttons in
    // this order; Enter, or the keypad's, presses the focused one and ends
    // the dialog with its answer. The title bar's close ends it without one;
    // Escape does nothing.
    void eachWayOfEnding_data() {
        QTest::addColumn<DetailDialogKind>("kind");
        QTest::addColumn<QStringList>("tabOrder");
        QTest::newRow("Form2") << DetailDialogKind::Texture
                               << QStringList{"High", "Medium", "Low", "Need to go Check"};
        QTest::newRow("Form3") << DetailDialogKind::Model
                               << QStringList{"Highest", "Higher",          "High", "Med", "Low",
                                              "Lowest",  "Need to go Check"};
    }
    void eachWayOfEnding() {
        QFETCH(DetailDialogKind, kind);
        QFETCH(QStringList, tabOrder);
        for (qsizetype tabs = 0; tabs <= tabOrder.size(); ++tabs) { // once round, and on
            QString focus;
            const QString ended = Show(kind, [&](QWidget& window) {
                for (qsizetype i = 0; i < tabs; ++i) {
                    Key(window, Qt::Key_Tab);
                }
                focus = FocusText(window);
                Key(window, tabs % 2 ? Qt::Key_Enter : Qt::Key_Return);
            });
            QCOMPARE(focus, tabOrder[tabs % tabOrder.size()]);
            QCOMPARE(ended, focus == "Need to go Check" ? "need to check" : "answered " + focus);
        }
        QCOMPARE(Show(kind, [](QWidget& window) { window.close(); }), "closed");
        QCOMPARE(Show(kind,
                      [](QWidget& window) {
                          Key(window, Qt::Key_Escape);
                          QApplication::processEvents();
                      }),
                 "closed after staying open");
    }

    // Centred, the controls stay where they are whatever the size, and the
    // next showing starts afresh, at its own size with the focus at the start.
    void resizedThenShownAgain_data() { eachWayOfEnding_data(); }
    void resizedThenShownAgain() {
        QFETCH(DetailDialogKind, kind);
        QFETCH(QStringList, tabOrder);
        const quorvel::forms::FormShape& form = quorvel::forms::DetailForm(kind);
        QMap<QString, QRect> before;
        QList<QMap<QString, QRect>> resized;
        QPoint offCentre;
        Show(kind, [&](QWidget& window) {
            QVERIFY(window.windowModality() == Qt::ApplicationModal && !window.parentWidget());
            offCentre =
                window.frameGeometry().center() - window.screen()->availableGeometry().center();
            before = ControlBoxes(window);
            Key(window, Qt::Key_Tab);
            for (const QSize size : {QSize(760, 480), QSize(150, 60)}) {
                window.resize(size);
                QApplication::processEvents();
                resized << ControlBoxes(window);
            }
            window.close();
        });
        QVERIFY(offCentre.manhattanLength() <= 2);
        QCOMPARE(before.size(), qsizetype(form.controls.size()));
        QCOMPARE(resized, QList({before, before}));
        const auto freshShowing = [&](QWidget& window) {
            QCOMPARE(window.size(), QSize(form.clientWidth, form.clientHeight));
            QCOMPARE(FocusText(window), tabOrder.front());
        };
        QCOMPARE(Show(kind, freshShowing), "closed after staying open");
    }

    // Text in the local encoding arrives as the same characters and comes
    // back as the same bytes; Cancel gives back nothing.
    void promptAnswersOrCancels() {
        const QString text = QStringLiteral("Enter the path to your MOHAA Directory (é)");
        const QString typed = QStringLiteral("D:\\Spiele\\MOHAA Übung");
        const auto bytes = [](const QString& s) { return s.toLocal8Bit().toStdString(); };
        for (const bool cancel : {false, true}) {
            QStringList shown;
            ModalWindows modals;
            modals.Then(quorvel::ui::kPromptObjectName, [&](QWidget& window) {
                auto* dialog = qobject_cast<QInputDialog*>(&window);
                QVERIFY(dialog && !dialog->parentWidget() &&
                        dialog->windowModality() == Qt::ApplicationModal);
                shown << dialog->windowTitle() << dialog->labelText() << dialog->textValue();
                dialog->setTextValue(typed);
                auto* box = dialog->findChild<QDialogButtonBox*>();
                QTest::mouseClick(
                    box->button(cancel ? QDialogButtonBox::Cancel : QDialogButtonBox::Ok),
                    Qt::LeftButton);
            });
            const std::string answer =
                windows_.Prompt(bytes(text), "MOHAA Path", "C:\\Jeux\\MOHAA");
            QCOMPARE(modals.leftOpen, QStringList());
            QCOMPARE(shown, (QStringList{"MOHAA Path", text, "C:\\Jeux\\MOHAA"}));
            QCOMPARE(answer, cancel ? std::string() : bytes(typed));
        }
    }

    void showMessage() {
        for (const auto& [icon, boxIcon] : {std::pair{MessageIcon::None, QMessageBox::NoIcon},
                                            {MessageIcon::Warning, QMessageBox::Warning}}) {
            QStringList shown;
            ModalWindows modals;
            modals.Then(quorvel::ui::kMessageObjectName, [&](QWidget& window) {
                auto* box = qobject_cast<QMessageBox*>(&window);
                QVERIFY(box && !box->parentWidget() &&
                        box->windowModality() == Qt::ApplicationModal);
                QCOMPARE(box->icon(), boxIcon);
                QCOMPARE(box->standardButtons(), QMessageBox::Ok);
                shown << box->windowTitle() << box->text();
                QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
            });
            windows_.ShowMessage("custom.cfg could not be written", "quorvel", icon);
            QCOMPARE(modals.leftOpen, QStringList());
            QCOMPARE(shown, (QStringList{"quorvel", "custom.cfg could not be written"}));
        }
    }
};

QTEST_MAIN(DetailDialogTest)
#include "detail_dialog_test.moc"
