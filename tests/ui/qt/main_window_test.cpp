// The main window driven as a player drives it: start-up through the real
// prompt, installations through the real dialogs and message box, on real
// files in a throwaway Wine prefix. And every window the Qt front end builds
// from the windows' table, checked against that table.

#include "core/installer.h"
#include "tests/support/game_folder.h"
#include "tests/support/test_data.h"
#include "tests/ui/qt/modal_windows.h"
#include "ui/forms/form_shapes.h"
#include "ui/qt/detail_dialog.h"
#include "ui/qt/main_window.h"
#include "ui/qt/program_icon.h"
#include "ui/qt/qt_window_system.h"

#include <QAccessible>
#include <QFontInfo>
#include <QInputDialog>
#include <QLabel>
#include <QListView>
#include <QScreen>
#include <QScrollBar>
#include <QWheelEvent>
#include <QWindow>

namespace {

namespace forms = quorvel::forms;
using quorvel::test::kPlayerCustomCfg;
using quorvel::test::Press;
using quorvel::test::Step;

// `window` as the table draws `form`: its name, caption, size, frame and
// icon, and every control at its box with its text and font, labels whole.
void MatchesItsTable(QWidget& window, const forms::FormShape& form) {
    QCOMPARE(window.objectName(), form.name);
    QCOMPARE(window.windowTitle(), form.caption);
    QCOMPARE(window.size(), QSize(form.clientWidth, form.clientHeight));
    QVERIFY(!window.parentWidget());
    const bool sizable = form.frame == forms::Frame::Sizable;
    QCOMPARE(window.minimumSize() != window.maximumSize(), sizable);
    QCOMPARE(window.windowFlags().testFlag(Qt::WindowMaximizeButtonHint), sizable);
    QVERIFY(
        window.windowFlags().testFlags(Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint));
    // The 256-colour artwork.
    const QImage icon(QString::fromLatin1(quorvel::ui::kProgramIconPath));
    QCOMPARE(icon.format(), QImage::Format_Indexed8);
    QCOMPARE(window.windowIcon().pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32),
             icon.convertToFormat(QImage::Format_ARGB32));
    for (const forms::ControlShape& control : form.controls) {
        auto* widget = window.findChild<QWidget*>(QString::fromLatin1(control.name));
        QVERIFY2(widget, control.name);
        QCOMPARE(widget->pos(), QPoint(control.box.left, control.box.top));
        QCOMPARE(widget->width(), control.box.width);
        QCOMPARE(widget->isHidden(), control.kind == forms::ControlKind::HiddenList);
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            QCOMPARE(label->text(), control.text);
            QVERIFY(label->wordWrap() && label->alignment().testFlag(Qt::AlignHCenter));
            QCOMPARE(label->focusPolicy(), Qt::NoFocus);
            QVERIFY(label->height() >=
                    qMax(control.box.height, label->heightForWidth(label->width())));
        } else {
            QCOMPARE(widget->height(), control.box.height);
        }
        if (auto* button = qobject_cast<QPushButton*>(widget)) {
            QCOMPARE(button->text(), control.text);
        }
        const QFontInfo font(widget->font());
        if (!control.font.face) {
            QCOMPARE(font.family(), QFontInfo(QApplication::font()).family());
            continue;
        }
        QVERIFY2(font.family() == forms::kSerifFace || font.family() == forms::kSerifStandIn,
                 qPrintable(font.family()));
        QCOMPARE(font.bold(), control.font.weight >= forms::kBoldWeight);
        QCOMPARE(qRound(font.pointSizeF() * 100), control.font.centiPoints);
    }
}

// One run of the program on a game folder holding `customCfg`, set up as
// main() sets it up, its modal windows answered by the steps queued for them.
struct Run : quorvel::test::ModalWindows {
    explicit Run(const std::string& customCfg) { game.Write("custom.cfg", customCfg); }

    // The load step and the first showing, the prompt answered by `prompt`.
    void Start(const Step& prompt = Press("OK")) {
        Then(quorvel::ui::kPromptObjectName, prompt);
        window.Load();
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }

    // An installation answered Medium and Highest.
    void Install() {
        Then("Form2", Press("Medium"));
        Then("Form3", Press("Highest"));
        Then(quorvel::ui::kMessageObjectName, Press("OK"));
        QTest::mouseClick(&Get<QPushButton>("Command1"), Qt::LeftButton);
    }

    template <typename T> T& Get(const char* name) {
        T* child = window.findChild<T*>(QLatin1String(name));
        if (!child) {
            qFatal("Form1 has no %s", name);
        }
        return *child;
    }
    QStringList List1Rows() {
        QStringList rows;
        const QAbstractItemModel& model = *Get<QListView>("List1").model();
        for (int row = 0; row < model.rowCount(); ++row) {
            rows << model.index(row, 0).data().toString();
        }
        return rows;
    }
    QString Focus() const {
        return window.focusWidget() ? window.focusWidget()->objectName() : QString();
    }
    std::string Files() const {
        return game.Read("custom.cfg").value_or("-") + "|" +
               game.Read("newconfig.cfg").value_or("-");
    }

    quorvel::test::GameFolder game;
    quorvel::ui::QtWindowSystem windows;
    quorvel::Installer installer{windows, game.registry, game.files};
    quorvel::ui::MainWindow window{installer};
};

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:

    void startUpThenInstallation() {
        Run run(kPlayerCustomCfg);
        QString offered;
        bool shownBeforePrompt = true;
        run.Start([&](QWidget& prompt) {
            offered = static_cast<QInputDialog&>(prompt).textValue();
            shownBeforePrompt = run.window.isVisible();
            Press("OK")(prompt);
        });
        QCOMPARE(offered, "C:\\Games\\MOHAA");
        QVERIFY(!shownBeforePrompt);
        QCOMPARE(run.captions, QStringList{"Quorvel Config Setup 3.2"});
        const QRect screen = run.window.screen()->availableGeometry();
        QVERIFY((run.window.frameGeometry().center() - screen.center()).manhattanLength() <= 2);
        QCOMPARE(run.Get<QLabel>("Label1").text(), "Current Custom.cfg settings");
        QStringList shown;
        for (const std::string& line : quorvel::test::kPlayerCustomCfgShown) {
            shown << QString::fromStdString(line);
        }
        QCOMPARE(run.List1Rows(), shown);

        run.Install();
        QCOMPARE(run.opened, (QStringList{"QuorvelPrompt", "Form2", "Form3", "QuorvelMessage"}));
        QCOMPARE(run.leftOpen, QStringList());
        const std::string installed = quorvel::test::ExpectedFile("custom_medium_highest.cfg");
        QCOMPARE(run.game.Read("custom.cfg"), installed);
        QCOMPARE(run.game.Read("newconfig.cfg"), quorvel::test::kPlayerFirstNewConfig);
        QCOMPARE(run.Get<QLabel>("Label1").text(), "New Custom.cfg settings");
        QCOMPARE(run.List1Rows(), QString::fromStdString(installed).split("\r\n"));
        QVERIFY(run.window.isVisible() && !run.Get<QListView>("List2").isVisible());
        QCOMPARE(run.captions.size(), 1);
    }

    // The game writes Windows-1252, an editor on Linux UTF-8: each line is
    // shown as it was written, and keeps its bytes through an installation.
    void eachLineShownInItsOwnEncodingAndKeptByteForByte() {
        const std::string game = "seta name \"J\xE9r\xF4me M\xFCller \x80\x81\x9F\"";
        const std::string editor = "seta name \"J\xC3\xA9r\xC3\xB4me \xE2\x82\xAC\"";
        Run run(game + "\r\n" + editor + "\r\n");
        run.Start();
        QCOMPARE(
            run.List1Rows(),
            (QStringList{QString::fromUtf16(u"seta name \"J\u00E9r\u00F4me M\u00FCller "
                                            u"\u20AC\u0081\u0178\""),
                         QString::fromUtf16(u"seta name \"J\u00E9r\u00F4me \u20AC\""), QString()}));
        run.Install();
        QCOMPARE(run.game.Read("newconfig.cfg"), "\r\n" + game + "\r\n" + editor + "\r\n\r\n");
    }

    // Focus starts on "Install Quorvel Config", and Tab goes round the
    // install button, the list and "Exit" only. Enter presses the focused
    // button and nothing else; Escape does nothing anywhere.
    void keyboard() {
        const struct {
            int tabs;
            Qt::Key key;
            QStringList opens;
            bool stillOpen;
        } rows[] = {{0, Qt::Key_Return, {"Form2"}, false},
                    {1, Qt::Key_Return, {}, true},
                    {2, Qt::Key_Enter, {}, false},
                    {0, Qt::Key_Escape, {}, true},
                    {1, Qt::Key_Escape, {}, true}};
        for (const auto& [tabs, key, opens, stillOpen] : rows) {
            Run run(kPlayerCustomCfg);
            run.Start();
            const std::string files = run.Files();

            QStringList visited{run.Focus()};
            for (int i = 0; i < 3 + tabs; ++i) {
                QTest::keyClick(run.window.focusWidget(), Qt::Key_Tab);
                visited << run.Focus();
            }
            QCOMPARE(visited.mid(0, 4), (QStringList{"Command1", "List1", "Command2", "Command1"}));

            // "Need to go Check" in Form2 closes the main window.
            run.Then("Form2", Press("Need to go Check"));
            QTest::keyClick(run.window.focusWidget(), key,
                            key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
            QCOMPARE(run.opened, QStringList{"QuorvelPrompt"} + opens);
            QCOMPARE(run.leftOpen, QStringList());
            QCOMPARE(run.window.isVisible(), stillOpen);
            QCOMPARE(run.Files(), files);
        }
    }

    // "Exit" and the title bar's close button end the program at once.
    void exitAndTitleBarClose() {
        for (const bool titleBar : {false, true}) {
            Run run(kPlayerCustomCfg);
            run.Start();
            const std::string files = run.Files();
            // The program's event loop runs until the window closes; were the
            // program to go on, the guard would end the loop with another code.
            QTimer::singleShot(5000, &run.window, [] { QCoreApplication::exit(2); });
            QTimer::singleShot(0, qApp, [&] {
                if (titleBar) {
                    run.window.windowHandle()->close(); // as the window system asks
                } else {
                    QTest::mouseClick(&run.Get<QPushButton>("Command2"), Qt::LeftButton);
                }
            });
            QCOMPARE(QApplication::exec(), 0);
            QCOMPARE(run.opened, QStringList{"QuorvelPrompt"});
            QCOMPARE(run.Files(), files);
        }
    }

    // Every window as its table draws it. What a screen reader reads: List1
    // by the heading above it, which it follows; the hidden list by its own
    // name; a description for the lists and every label; each detail dialog
    // its question.
    void windowsMatchTheirTableAndAreRead() {
        const auto read = [](QWidget& widget, QAccessible::Text text) {
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&widget);
            return face ? face->text(text) : QStringLiteral("(no interface)");
        };
        Run run("");
        MatchesItsTable(run.window, forms::MainForm());
        auto& list1 = run.Get<QListView>("List1");
        QCOMPARE(read(list1, QAccessible::Name), "Current Custom.cfg settings");
        QCOMPARE(read(run.Get<QListView>("List2"), QAccessible::Name), "Settings to install");
        run.window.SetLabel1Caption("New Custom.cfg settings");
        QCOMPARE(read(list1, QAccessible::Name), "New Custom.cfg settings");
        QCOMPARE(read(run.Get<QLabel>("Label1"), QAccessible::Name), "New Custom.cfg settings");
        for (const char* name : {"List1", "List2", "Label1", "Label2"}) {
            QVERIFY2(!read(run.Get<QWidget>(name), QAccessible::Description).isEmpty(), name);
        }
        for (auto kind : {quorvel::DetailDialogKind::Texture, quorvel::DetailDialogKind::Model}) {
            quorvel::ui::DetailDialog dialog(kind);
            MatchesItsTable(dialog, forms::DetailForm(kind));
            auto& label = *dialog.findChild<QLabel*>("Label1");
            QVERIFY(read(label, QAccessible::Name).startsWith("Please Select the current "));
            QVERIFY(!read(label, QAccessible::Description).isEmpty());
            QCOMPARE(read(dialog, QAccessible::Description), label.text());
        }
    }

    // A custom.cfg of a million lines shows in full and scrolls, up and
    // down only; a click selects one row and changes nothing else.
    void largeFileAndSelection() {
        std::string text;
        for (int i = 1; i < 1000000; ++i) {
            text += "seta line" + std::to_string(i) + " 1\r\n";
        }
        Run run(text + "seta wide " + std::string(3000, 'w')); // no line end after it
        run.Start();
        auto& list = run.Get<QListView>("List1");
        QCOMPARE(list.model()->rowCount(), 1000000);
        QVERIFY(list.uniformItemSizes());

        list.scrollToBottom();
        const auto box = [&](int row) { return list.visualRect(list.model()->index(row, 0)); };
        QVERIFY(list.viewport()->rect().intersects(box(999999)));
        QVERIFY(!list.viewport()->rect().intersects(box(0)));
        QTest::keyClick(&list, Qt::Key_Right);
        QWheelEvent tilt(QPointF(10, 10), list.viewport()->mapToGlobal(QPointF(10, 10)), QPoint(),
                         QPoint(-240, 0), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(list.viewport(), &tilt);
        QCOMPARE(list.horizontalScrollBar()->value(), 0);

        list.scrollToTop();
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, box(1).center());
        QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ControlModifier, box(3).center());
        QCOMPARE(list.selectionModel()->selectedRows(), QModelIndexList{list.model()->index(3, 0)});
        QCOMPARE(list.model()->rowCount(), 1000000);
        QCOMPARE(run.opened, QStringList{"QuorvelPrompt"});
        QVERIFY(!run.game.Read("newconfig.cfg"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
