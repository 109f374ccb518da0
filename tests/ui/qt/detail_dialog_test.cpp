// The detail dialogs and the Qt window system, driven through their real
// widgets. Each modal window is worked from inside its own event loop: the
// steps are scheduled before the call that opens it.

#include "core/detail_choices.h"
#include "tests/support/line_lists.h"
#include "ui/forms/form_shapes.h"
#include "ui/qt/detail_dialog.h"
#include "ui/qt/program_icon.h"
#include "ui/qt/qt_window_system.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QDialogButtonBox>
#include <QFontInfo>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

using quorvel::AbortFlagValue;
using quorvel::DetailDialogKind;
using quorvel::DialogOutcome;
using quorvel::LineList;
using quorvel::MessageIcon;
using quorvel::test::LinesOf;

Q_DECLARE_METATYPE(quorvel::DetailDialogKind)
Q_DECLARE_METATYPE(quorvel::MessageIcon)
Q_DECLARE_METATYPE(quorvel::AbortFlagValue)

namespace {

// What a test saw of a modal window while it was open.
struct Seen {
    QPointer<QWidget> window; // null again once the window is destroyed
    bool opened = false;
    bool stillOpenAfterSteps = false;
};

// Runs `steps` on the modal window that the next call opens. A window still
// open after the steps is closed, so that a failing test ends instead of
// waiting for a player.
std::shared_ptr<Seen> OnModal(std::function<void(QWidget&)> steps) {
    auto seen = std::make_shared<Seen>();
    QTimer::singleShot(0, qApp, [seen, steps] {
        seen->window = QApplication::activeModalWidget();
        if (!seen->window) {
            return;
        }
        seen->opened = true;
        steps(*seen->window);
        if (seen->window && seen->window->isVisible()) {
            seen->stillOpenAfterSteps = true;
            seen->window->close();
            auto* dialog = qobject_cast<QDialog*>(seen->window.data());
            if (dialog && dialog->isVisible()) {
                dialog->done(QDialog::Rejected); // its close is broken too
            }
        }
    });
    return seen;
}

void Click(QWidget& window, const QString& text) {
    QList<QPushButton*> matches;
    for (QPushButton* button : window.findChildren<QPushButton*>()) {
        if (button->text() == text) {
            matches << button;
        }
    }
    QVERIFY2(matches.size() == 1, qPrintable("no single button " + text));
    QTest::mouseClick(matches.front(), Qt::LeftButton);
}

QString FocusText(QWidget& window) {
    auto* button = qobject_cast<QPushButton*>(window.focusWidget());
    return button ? button->text() : QStringLiteral("<no button>");
}

// A key pressed as the player would: at the focused control.
void Key(QWidget& window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(window.focusWidget() ? window.focusWidget() : &window, key, modifiers);
}

QStringList Contents(const LineList& list) {
    QStringList lines;
    for (const std::string& line : LinesOf(list)) {
        lines << QString::fromStdString(line);
    }
    return lines;
}

QStringList AnswerLines(DetailDialogKind kind, const QString& button) {
    QStringList lines;
    const auto* answer = quorvel::FindDetailAnswer(kind, button.toStdString());
    for (std::string_view line : answer ? answer->lines : std::vector<std::string_view>{}) {
        lines << QString::fromLatin1(line.data(), qsizetype(line.size()));
    }
    return lines;
}

const QStringList kExisting{"seta com_maxfps 85", "setu name Player"};

void FillWithExisting(LineList& list) {
    for (const QString& line : kExisting) {
        list.Append(line.toStdString());
    }
}

// A detail dialog's client size as the windows' table gives it.
QSize TableSize(DetailDialogKind kind) {
    const quorvel::forms::FormShape& form = quorvel::forms::DetailForm(kind);
    return {form.clientWidth, form.clientHeight};
}

QMap<QString, QRect> ControlBoxes(QWidget& window) {
    QMap<QString, QRect> boxes;
    for (QWidget* child : window.findChildren<QWidget*>()) {
        if (qobject_cast<QLabel*>(child) || qobject_cast<QPushButton*>(child)) {
            boxes.insert(child->objectName(), child->geometry());
        }
    }
    return boxes;
}

} // namespace

class DetailDialogTest : public QObject {
    Q_OBJECT

    quorvel::ui::QtWindowSystem windows_;

    // Shows the dialog through the window system and applies the player's
    // answer as an installation does.
    DialogOutcome Show(DetailDialogKind kind, LineList& list, AbortFlagValue& flag) {
        const quorvel::DetailDialogResult result = windows_.ShowDetailDialog(kind);
        quorvel::ApplyDetailDialogResult(kind, result, list, flag);
        return result.outcome;
    }

    static void AddKindColumn() {
        QTest::addColumn<DetailDialogKind>("kind");
        QTest::newRow("Form2") << DetailDialogKind::Texture;
        QTest::newRow("Form3") << DetailDialogKind::Model;
    }

private slots:
    void answerButtonsAppendTheirOwnLines_data() {
        QTest::addColumn<DetailDialogKind>("kind");
        QTest::addColumn<QString>("known"); // a button whose lines are known by heart
        QTest::addColumn<QStringList>("knownLines");
        QTest::newRow("Form2") << DetailDialogKind::Texture << "Medium"
                               << QStringList{"setu r_picmip 1"};
        QTest::newRow("Form3") << DetailDialogKind::Model << "Lowest"
                               << QStringList{"setu r_lodcap .35", "setu r_lodscale .359",
                                              "setu r_lodviewmodelcap .25"};
    }
    void answerButtonsAppendTheirOwnLines() {
        QFETCH(DetailDialogKind, kind);
        QFETCH(QString, known);
        QFETCH(QStringList, knownLines);
        QCOMPARE(AnswerLines(kind, known), knownLines);
        for (const quorvel::DetailAnswer& answer : quorvel::DetailAnswers(kind)) {
            const QString button = QString::fromStdString(std::string(answer.button));
            LineList list;
            FillWithExisting(list);
            AbortFlagValue flag;
            QStringList atFinish;
            auto seen = OnModal([&](QWidget& window) {
                connect(qobject_cast<QDialog*>(&window), &QDialog::finished,
                        [&] { atFinish = Contents(list); });
                Click(window, button);
            });
            QCOMPARE(Show(kind, list, flag), DialogOutcome::Answered);
            QVERIFY2(!seen->stillOpenAfterSteps, qPrintable(button));
            QCOMPARE(Contents(list), kExisting + AnswerLines(kind, button));
            QCOMPARE(atFinish, kExisting); // the window itself appends nothing
            QVERIFY(!flag.has_value());
        }
    }

    void needToGoCheckClosesThenSetsTheFlag_data() { AddKindColumn(); }
    void needToGoCheckClosesThenSetsTheFlag() {
        QFETCH(DetailDialogKind, kind);
        LineList list;
        FillWithExisting(list);
        AbortFlagValue flag;
        AbortFlagValue flagAtFinish = std::int16_t{7};
        auto seen = OnModal([&](QWidget& window) {
            connect(qobject_cast<QDialog*>(&window), &QDialog::finished,
                    [&] { flagAtFinish = flag; });
            Click(window, QStringLiteral("Need to go Check"));
        });
        QCOMPARE(Show(kind, list, flag), DialogOutcome::NeedToCheck);
        QVERIFY(!seen->stillOpenAfterSteps);
        QCOMPARE(Contents(list), kExisting);
        QCOMPARE(flag, AbortFlagValue(std::int16_t{1}));
        QVERIFY(!flagAtFinish.has_value()); // set only once the dialog had closed
    }

    void titleBarCloseAndEscape_data() {
        QTest::addColumn<DetailDialogKind>("kind");
        QTest::addColumn<bool>("escape");
        QTest::addColumn<AbortFlagValue>("flagBefore");
        const AbortFlagValue set = std::int16_t{1};
        QTest::newRow("Form2 close") << DetailDialogKind::Texture << false << AbortFlagValue();
        QTest::newRow("Form3 close, flag set") << DetailDialogKind::Model << false << set;
        QTest::newRow("Form2 Escape") << DetailDialogKind::Texture << true << AbortFlagValue();
        QTest::newRow("Form3 Escape") << DetailDialogKind::Model << true << AbortFlagValue();
    }
    void titleBarCloseAndEscape() {
        QFETCH(DetailDialogKind, kind);
        QFETCH(bool, escape);
        QFETCH(AbortFlagValue, flagBefore);
        LineList list;
        FillWithExisting(list);
        AbortFlagValue flag = flagBefore;
        auto seen = OnModal([&](QWidget& window) {
            if (escape) {
                Key(window, Qt::Key_Escape);
                QApplication::processEvents();
            } else {
                window.close();
            }
        });
        QCOMPARE(Show(kind, list, flag), DialogOutcome::ClosedWithoutAnswer);
        QVERIFY(seen->opened);
        // After Escape the dialog is still open (and the helper closes it).
        QCOMPARE(seen->stillOpenAfterSteps, escape);
        QCOMPARE(Contents(list), kExisting);
        QCOMPARE(flag, flagBefore);
    }

    void enterPressesOnlyTheFocusedButton_data() {
        QTest::addColumn<DetailDialogKind>("kind");
        QTest::addColumn<int>("tabs");
        QTest::addColumn<Qt::Key>("key");
        QTest::addColumn<QString>("expected");
        QTest::newRow("Form2 at once")
            << DetailDialogKind::Texture << 0 << Qt::Key_Return << "High";
        QTest::newRow("Form3 at once")
            << DetailDialogKind::Model << 0 << Qt::Key_Return << "Highest";
        QTest::newRow("Form2 keypad, one Tab")
            << DetailDialogKind::Texture << 1 << Qt::Key_Enter << "Medium";
        QTest::newRow("Form3 four Tabs") << DetailDialogKind::Model << 4 << Qt::Key_Return << "Low";
    }
    void enterPressesOnlyTheFocusedButton() {
        QFETCH(DetailDialogKind, kind);
        QFETCH(int, tabs);
        QFETCH(Qt::Key, key);
        QFETCH(QString, expected);
        LineList list;
        AbortFlagValue flag;
        auto seen = OnModal([&](QWidget& window) {
            for (int i = 0; i < tabs; ++i) {
                Key(window, Qt::Key_Tab);
            }
            Key(window, key, key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        });
        QCOMPARE(Show(kind, list, flag), DialogOutcome::Answered);
        QVERIFY(!seen->stillOpenAfterSteps);
        QCOMPARE(Contents(list), AnswerLines(kind, expected));
    }

    void tabOrder_data() {
        QTest::addColumn<DetailDialogKind>("kind");
        QTest::addColumn<QString>("order");
        QTest::newRow("Form2") << DetailDialogKind::Texture << "High|Medium|Low|Need to go Check";
        QTest::newRow("Form3") << DetailDialogKind::Model
                               << "Highest|Higher|High|Med|Low|Lowest|Need to go Check";
    }
    void tabOrder() {
        QFETCH(DetailDialogKind, kind);
        QFETCH(QString, order);
        const QStringList buttons = order.split('|');
        LineList list;
        AbortFlagValue flag;
        QStringList visited;
        OnModal([&](QWidget& window) {
            for (qsizetype i = 0; i <= buttons.size(); ++i) { // once round, back to the start
                visited << FocusText(window);
                Key(window, Qt::Key_Tab);
            }
            window.close();
        });
        Show(kind, list, flag);
        QCOMPARE(visited, buttons + QStringList{buttons.front()});
        QCOMPARE(list.Count(), std::size_t{0});
    }

    void secondShowingStartsAfresh() {
        LineList list;
        AbortFlagValue flag;
        auto first = OnModal([](QWidget& window) {
            Key(window, Qt::Key_Tab);
            Key(window, Qt::Key_Tab);
            window.resize(700, 300);
            window.close();
        });
        Show(DetailDialogKind::Texture, list, flag);
        QVERIFY(first->opened && first->window.isNull()); // the first dialog is gone

        QString focus;
        QSize size;
        OnModal([&](QWidget& window) {
            focus = FocusText(window);
            size = window.size();
            Click(window, QStringLiteral("Low"));
        });
        QCOMPARE(Show(DetailDialogKind::Texture, list, flag), DialogOutcome::Answered);
        QCOMPARE(focus, QStringLiteral("High"));
        QCOMPARE(size, TableSize(DetailDialogKind::Texture));
        QCOMPARE(Contents(list), AnswerLines(DetailDialogKind::Texture, "Low"));
    }

    void geometryHoldsWhenResized_data() { AddKindColumn(); }
    void geometryHoldsWhenResized() {
        QFETCH(DetailDialogKind, kind);
        LineList list;
        AbortFlagValue flag;
        QMap<QString, QRect> before, larger, smaller;
        QRect frame, screenArea;
        QSize client;
        OnModal([&](QWidget& window) {
            client = window.size();
            frame = window.frameGeometry();
            screenArea = window.screen()->availableGeometry();
            before = ControlBoxes(window);
            window.resize(760, 480);
            QApplication::processEvents();
            larger = ControlBoxes(window);
            window.resize(150, 60);
            QApplication::processEvents();
            smaller = ControlBoxes(window);
            window.close();
        });
        Show(kind, list, flag);

        QCOMPARE(client, TableSize(kind));
        QVERIFY((frame.center() - screenArea.center()).manhattanLength() <= 2);
        // Every answer, "Need to go Check" and the label.
        QCOMPARE(before.size(), qsizetype(quorvel::DetailAnswers(kind).size()) + 2);
        QCOMPARE(larger, before);
        QCOMPARE(smaller, before);
        // Every control shows whole; that none covers another is the table's
        // own check.
        for (auto a = before.cbegin(); a != before.cend(); ++a) {
            QVERIFY2(QRect(QPoint(0, 0), client).contains(a.value()), qPrintable(a.key()));
        }
    }

    void windowAppearance_data() { AddKindColumn(); }
    void windowAppearance() {
        QFETCH(DetailDialogKind, kind);
        quorvel::ui::DetailDialog dialog(kind);
        const bool texture = kind == DetailDialogKind::Texture;
        QCOMPARE(dialog.objectName(), texture ? "Form2" : "Form3");
        QCOMPARE(dialog.windowTitle(), texture ? "Texture Detail" : "Model Detail");
        QVERIFY(dialog.parentWidget() == nullptr);
        QCOMPARE(dialog.windowModality(), Qt::ApplicationModal);
        const Qt::WindowFlags flags = dialog.windowFlags();
        QVERIFY(flags.testFlags(Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint));
        QVERIFY(!flags.testAnyFlags(Qt::FramelessWindowHint | Qt::MSWindowsFixedSizeDialogHint));
        QVERIFY(dialog.maximumSize().width() > dialog.width());

        // The icon is the 256-colour artwork, and the dialog shows it.
        const QImage icon(QString::fromLatin1(quorvel::ui::kProgramIconPath));
        QCOMPARE(icon.size(), QSize(32, 32));
        QCOMPARE(icon.format(), QImage::Format_Indexed8);
        QCOMPARE(
            dialog.windowIcon().pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32),
            icon.convertToFormat(QImage::Format_ARGB32));

        // The fonts resolve to Times New Roman or its metric twin.
        const QStringList serif{"Times New Roman", "Liberation Serif"};
        auto* label = dialog.findChild<QLabel*>(QStringLiteral("Label1"));
        QVERIFY(label && label->wordWrap() && label->alignment().testFlag(Qt::AlignHCenter));
        QCOMPARE(label->focusPolicy(), Qt::NoFocus);
        // The whole instruction shows: no last line cut off.
        QVERIFY(label->height() >= label->heightForWidth(label->width()));
        // Every control where the table puts it, in the table's font.
        for (const quorvel::forms::ControlShape& control :
             quorvel::forms::DetailForm(kind).controls) {
            auto* widget = dialog.findChild<QWidget*>(QString::fromLatin1(control.name));
            QVERIFY2(widget, control.name);
            QCOMPARE(widget->pos(), QPoint(control.box.left, control.box.top));
            QCOMPARE(widget->width(), control.box.width);
            const QFontInfo font(widget->font());
            QVERIFY2(serif.contains(font.family()), qPrintable(font.family()));
            QCOMPARE(font.bold(), control.font.weight >= quorvel::forms::kBoldWeight);
            QVERIFY(qAbs(font.pointSizeF() - control.font.centiPoints / 100.0) < 0.01);
        }
        for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
            QVERIFY(!button->autoDefault() && !button->isDefault());
        }
    }

    void promptAnswersOrCancels_data() {
        QTest::addColumn<bool>("cancel");
        QTest::newRow("answer") << false;
        QTest::newRow("cancel") << true;
    }
    void promptAnswersOrCancels() {
        QFETCH(bool, cancel);
        // Bytes in the local encoding must arrive as the same characters and
        // come back as the same bytes.
        const QString text = QStringLiteral("Enter the path to your MOHAA Directory (é)");
        const QString typed = QStringLiteral("D:\\Spiele\\MOHAA Übung");
        const auto bytes = [](const QString& s) { return s.toLocal8Bit().toStdString(); };
        QStringList shown;
        auto seen = OnModal([&](QWidget& window) {
            auto* dialog = qobject_cast<QInputDialog*>(&window);
            QVERIFY(dialog && !dialog->parentWidget() &&
                    dialog->windowModality() == Qt::ApplicationModal);
            shown << dialog->windowTitle() << dialog->labelText() << dialog->textValue();
            dialog->setTextValue(typed);
            auto* box = dialog->findChild<QDialogButtonBox*>();
            QTest::mouseClick(box->button(cancel ? QDialogButtonBox::Cancel : QDialogButtonBox::Ok),
                              Qt::LeftButton);
        });
        const std::string answer = windows_.Prompt(bytes(text), "MOHAA Path", "C:\\Jeux\\MOHAA");
        QVERIFY(!seen->stillOpenAfterSteps);
        QCOMPARE(shown, (QStringList{"MOHAA Path", text, "C:\\Jeux\\MOHAA"}));
        QCOMPARE(answer, cancel ? std::string() : bytes(typed));
    }

    void showMessage_data() {
        QTest::addColumn<MessageIcon>("icon");
        QTest::addColumn<QMessageBox::Icon>("boxIcon");
        QTest::newRow("plain") << MessageIcon::None << QMessageBox::NoIcon;
        QTest::newRow("warning") << MessageIcon::Warning << QMessageBox::Warning;
    }
    void showMessage() {
        QFETCH(MessageIcon, icon);
        QFETCH(QMessageBox::Icon, boxIcon);
        QStringList shown;
        QMessageBox::Icon shownIcon = QMessageBox::Critical;
        QList<QMessageBox::StandardButton> buttons;
        auto seen = OnModal([&](QWidget& window) {
            auto* box = qobject_cast<QMessageBox*>(&window);
            QVERIFY(box && !box->parentWidget() && box->windowModality() == Qt::ApplicationModal);
            shown << box->windowTitle() << box->text();
            shownIcon = box->icon();
            for (QAbstractButton* button : box->buttons()) {
                buttons << box->standardButton(button);
            }
            QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        });
        windows_.ShowMessage("custom.cfg could not be written", "quorvel", icon);
        QVERIFY(!seen->stillOpenAfterSteps);
        QCOMPARE(shown, (QStringList{"quorvel", "custom.cfg could not be written"}));
        QCOMPARE(buttons, QList<QMessageBox::StandardButton>{QMessageBox::Ok});
        QCOMPARE(shownIcon, boxIcon);
    }
};

QTEST_MAIN(DetailDialogTest)
#include "detail_dialog_test.moc"
