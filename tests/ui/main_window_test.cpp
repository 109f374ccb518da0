// The main window driven as a player drives it: start-up through the real
// prompt, installations through the real dialogs and message box, on real
// files in a throwaway Wine prefix.

#include "game_folder.h"
#include "installer.h"
#include "main_window.h"
#include "qt_window_system.h"
#include "temp_dir.h"

#include <deque>
#include <functional>
#include <utility>

#include <QAbstractItemModel>
#include <QApplication>
#include <QFontInfo>
#include <QInputDialog>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>

using quorvel::testing::GameFolder;

namespace {

const std::string kPlayerCustomCfg =
    "bind MOUSE1 \"+attack\"\r\n  setu cheats 0\r\nsetu r_picmip 1\r\n";

// Answers the program's modal windows as they open, in the order queued,
// from inside each window's own event loop. A window that opens with nothing
// queued for it, or that a step leaves open, is closed and recorded, so that
// a failing test ends rather than waits for a player. Also records the
// caption of the main window at each of its showings.
class Player : public QObject {
public:
    using Step = std::function<void(QWidget&)>;

    Player() { qApp->installEventFilter(this); }
    ~Player() override { qApp->removeEventFilter(this); }

    void Then(const QString& windowName, Step step) {
        queue_.emplace_back(windowName, std::move(step));
    }

    QStringList opened;        // object names of the modal windows, in order
    QStringList leftOpen;      // unexpected, or still open after their step
    QStringList captionsShown; // the main window's caption at each showing

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        auto* window = qobject_cast<QWidget*>(object);
        if (event->type() != QEvent::Show || !window || !window->isWindow()) {
            return false;
        }
        if (window->objectName() == QLatin1String("Form1")) {
            captionsShown << window->windowTitle();
        }
        if (!window->isModal()) {
            return false;
        }
        const QString name = window->objectName();
        opened << name;
        Step step;
        if (!queue_.empty() && queue_.front().first == name) {
            step = std::move(queue_.front().second);
            queue_.pop_front();
        }
        QPointer<QWidget> guard(window);
        QTimer::singleShot(0, window, [this, guard, name, step] {
            if (step && QApplication::activeModalWidget() == guard) {
                step(*guard);
            }
            if (guard && guard->isVisible()) {
                leftOpen << name;
                guard->close();
            }
        });
        return false;
    }

private:
    std::deque<std::pair<QString, Step>> queue_;
};

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

const Player::Step kAcceptPrompt = [](QWidget& window) {
    QVERIFY(qobject_cast<QInputDialog*>(&window));
    QTest::keyClick(&window, Qt::Key_Return);
};

// One run of the program, set up as main() sets it up.
struct Program {
    explicit Program(GameFolder& game) : installer(windows, game.registry, game.files) {}

    // The load step and the first showing, the prompt answered as given.
    void Start(Player& player, const Player::Step& prompt = kAcceptPrompt) {
        player.Then(quorvel::ui::kPromptObjectName, prompt);
        window.Load();
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }

    template <typename T> T& Get(const char* name) {
        T* child = window.findChild<T*>(QLatin1String(name));
        if (!child) {
            qFatal("Form1 has no %s", name);
        }
        return *child;
    }

    QStringList List1Rows() {
        const QAbstractItemModel& model = *Get<QListView>("List1").model();
        QStringList rows;
        for (int row = 0; row < model.rowCount(); ++row) {
            rows << model.data(model.index(row, 0)).toString();
        }
        return rows;
    }

    QString Focus() const {
        return window.focusWidget() ? window.focusWidget()->objectName() : QString();
    }

    quorvel::ui::QtWindowSystem windows;
    quorvel::Installer installer;
    quorvel::ui::MainWindow window{installer};
};

// The files of the game folder, to show that nothing was written.
QStringList Files(const GameFolder& game) {
    QStringList files;
    for (const auto& entry : std::filesystem::directory_iterator(game.Mainta())) {
        files << QString::fromStdString(entry.path().filename().string() + " " +
                                        quorvel::testing::ReadBytes(entry.path()));
    }
    files.sort();
    return files;
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void startUpThenInstallation() {
        GameFolder game;
        game.Write("custom.cfg", kPlayerCustomCfg);
        Program run(game);
        Player player;
        QStringList prompt;
        bool shownBeforePrompt = true;
        run.Start(player, [&](QWidget& window) {
            auto& dialog = static_cast<QInputDialog&>(window);
            prompt << dialog.windowTitle() << dialog.labelText() << dialog.textValue();
            shownBeforePrompt = run.window.isVisible();
            kAcceptPrompt(window);
        });
        QCOMPARE(prompt, (QStringList{"MOHAA Path", "Enter the path to your MOHAA Directory",
                                      "C:\\Games\\MOHAA"}));
        QVERIFY(!shownBeforePrompt);
        QCOMPARE(player.captionsShown, QStringList{"Quorvel Config Setup 3.2"});
        QCOMPARE(run.Get<QLabel>("Label1").text(), "Current Custom.cfg settings");
        QCOMPARE(run.List1Rows(),
                 (QStringList{"bind MOUSE1 \"+attack\"", "setu cheats 0", "setu r_picmip 1", ""}));

        QString message;
        player.Then("Form2", [](QWidget& window) { Click(window, "Medium"); });
        player.Then("Form3", [](QWidget& window) { Click(window, "Highest"); });
        player.Then(quorvel::ui::kMessageObjectName, [&](QWidget& window) {
            auto& box = static_cast<QMessageBox&>(window);
            message = box.text();
            QTest::mouseClick(box.button(QMessageBox::Ok), Qt::LeftButton);
        });
        QTest::mouseClick(&run.Get<QPushButton>("Command1"), Qt::LeftButton);

        QCOMPARE(player.opened, (QStringList{"QuorvelPrompt", "Form2", "Form3", "QuorvelMessage"}));
        QCOMPARE(player.leftOpen, QStringList());
        QCOMPARE(message,
                 "Custom Config has been created and the Quorvel Config has been installed");
        const std::string installed = quorvel::testing::ReadBytes(
            std::filesystem::path(QUORVEL_TEST_DATA_DIR) / "custom_medium_highest.cfg");
        QCOMPARE(game.Read("custom.cfg"), installed);
        QCOMPARE(game.Read("newconfig.cfg"), "\r\nbind MOUSE1 \"+attack\"\r\n\r\n");
        QCOMPARE(run.Get<QLabel>("Label1").text(), "New Custom.cfg settings");
        QCOMPARE(run.List1Rows(), QString::fromStdString(installed).split("\r\n"));
        QVERIFY(run.window.isVisible());
        QVERIFY(!run.Get<QListView>("List2").isVisible());
        QCOMPARE(player.captionsShown.size(), 1);
    }

    // Focus starts on "Install Quorvel Config", and Tab goes round the
    // install button, the list and "Exit" only. Enter presses the focused
    // button and nothing else; Escape does nothing anywhere.
    void keyboard_data() {
        QTest::addColumn<int>("tabs");
        QTest::addColumn<Qt::Key>("key");
        QTest::addColumn<QStringList>("opens");
        QTest::addColumn<bool>("stillOpen");
        QTest::newRow("Enter at Command1") << 0 << Qt::Key_Return << QStringList{"Form2"} << false;
        QTest::newRow("Enter at List1") << 1 << Qt::Key_Return << QStringList() << true;
        QTest::newRow("keypad Enter at Command2") << 2 << Qt::Key_Enter << QStringList() << false;
        QTest::newRow("Escape at Command1") << 0 << Qt::Key_Escape << QStringList() << true;
        QTest::newRow("Escape at List1") << 1 << Qt::Key_Escape << QStringList() << true;
        QTest::newRow("Escape at Command2") << 2 << Qt::Key_Escape << QStringList() << true;
    }
    void keyboard() {
        QFETCH(int, tabs);
        QFETCH(Qt::Key, key);
        QFETCH(QStringList, opens);
        QFETCH(bool, stillOpen);
        GameFolder game;
        game.Write("custom.cfg", kPlayerCustomCfg);
        Program run(game);
        Player player;
        run.Start(player);
        const QStringList files = Files(game);

        QStringList visited{run.Focus()};
        for (int i = 0; i < 3; ++i) {
            QTest::keyClick(run.window.focusWidget(), Qt::Key_Tab);
            visited << run.Focus();
        }
        QCOMPARE(visited, (QStringList{"Command1", "List1", "Command2", "Command1"}));
        for (int i = 0; i < tabs; ++i) {
            QTest::keyClick(run.window.focusWidget(), Qt::Key_Tab);
        }

        // Form2 is answered "Need to go Check", which closes the main window.
        player.Then("Form2", [](QWidget& window) { Click(window, "Need to go Check"); });
        QTest::keyClick(run.window.focusWidget(), key,
                        key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        QApplication::processEvents();
        QCOMPARE(player.opened, QStringList{"QuorvelPrompt"} + opens);
        QCOMPARE(player.leftOpen, QStringList());
        QCOMPARE(run.window.isVisible(), stillOpen);
        QCOMPARE(Files(game), files);
    }

    // "Exit" and the title bar's close button end the program at once.
    void exitAndTitleBarClose_data() {
        QTest::addColumn<bool>("titleBar");
        QTest::newRow("Exit") << false;
        QTest::newRow("title bar") << true;
    }
    void exitAndTitleBarClose() {
        QFETCH(bool, titleBar);
        GameFolder game;
        game.Write("custom.cfg", kPlayerCustomCfg);
        Program run(game);
        Player player;
        run.Start(player);
        const QStringList files = Files(game);

        // The program's event loop runs until the window closes. Were the
        // program to go on, the guard would end the loop, with another code.
        QTimer guard;
        guard.setSingleShot(true);
        connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(2); });
        guard.start(5000);
        QTimer::singleShot(0, qApp, [&] {
            if (titleBar) {
                run.window.windowHandle()->close(); // as the window system asks
            } else {
                QTest::mouseClick(&run.Get<QPushButton>("Command2"), Qt::LeftButton);
            }
        });
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(!run.window.isVisible());
        QCOMPARE(player.opened, QStringList{"QuorvelPrompt"});
        QCOMPARE(Files(game), files);
    }

    void appearance() {
        GameFolder game;
        Program run(game);
        Player player;
        run.Start(player);
        QWidget& window = run.window;
        QCOMPARE(window.size(), QSize(539, 350));
        QCOMPARE(window.minimumSize(), window.maximumSize());
        QVERIFY(!window.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        const QRect screen = window.screen()->availableGeometry();
        QVERIFY((window.frameGeometry().center() - screen.center()).manhattanLength() <= 2);

        // Every control is there, whole, in its place from top to bottom,
        // and none covers another.
        const QList<QWidget*> shown{&run.Get<QLabel>("Label1"), &run.Get<QListView>("List1"),
                                    &run.Get<QLabel>("Label2"), &run.Get<QPushButton>("Command1"),
                                    &run.Get<QPushButton>("Command2")};
        for (qsizetype i = 0; i < shown.size(); ++i) {
            const QRect box = shown[i]->geometry();
            QVERIFY2(shown[i]->isVisible() && window.rect().contains(box),
                     qPrintable(shown[i]->objectName()));
            if (i > 0 && i < 4) {
                QVERIFY(shown[i - 1]->geometry().bottom() < box.top());
            }
        }
        QVERIFY(shown[3]->geometry().right() < shown[4]->geometry().left());
        QCOMPARE(shown[3]->y(), shown[4]->y());
        QVERIFY(shown[1]->width() > window.width() * 9 / 10);
        QVERIFY(run.Get<QListView>("List2").isHidden());
        QCOMPARE(run.Get<QListView>("List2").focusPolicy(), Qt::NoFocus);

        // The labels: centred serif text, whole in its box; the second keeps
        // its doubled and trailing spaces.
        QCOMPARE(run.Get<QLabel>("Label2").text(),
                 "This program will add the quorvel config settings to the custom.cfg file or "
                 "will create  a custom.cfg file if one does not exist. ");
        const QStringList serif{"Times New Roman", "Liberation Serif"};
        for (QLabel* label : {&run.Get<QLabel>("Label1"), &run.Get<QLabel>("Label2")}) {
            const QFontInfo font(label->font());
            QVERIFY(serif.contains(font.family()) && font.pointSizeF() >= 12.0);
            QVERIFY(label->wordWrap() && label->alignment().testFlag(Qt::AlignHCenter));
            const QRect needed = label->fontMetrics().boundingRect(
                QRect(0, 0, label->width(), 1000), Qt::TextWordWrap, label->text());
            QVERIFY2(needed.height() <= label->height(), qPrintable(label->objectName()));
        }
    }

    // A custom.cfg of a million lines shows in full and scrolls, up and
    // down only; a click selects one row and changes nothing else.
    void largeFileAndSelection() {
        GameFolder game;
        std::string text;
        for (int i = 1; i < 1000000; ++i) {
            text += "seta line" + std::to_string(i) + " 1\r\n";
        }
        text += "seta wide " + std::string(3000, 'w'); // no line end after it
        game.Write("custom.cfg", text);
        Program run(game);
        Player player;
        run.Start(player);
        auto& list = run.Get<QListView>("List1");
        QCOMPARE(list.model()->rowCount(), 1000000);
        QVERIFY(list.uniformItemSizes());

        list.scrollToBottom();
        const QModelIndex last = list.model()->index(999999, 0);
        QCOMPARE(last.data().toString().size(), 3010);
        QVERIFY(list.viewport()->rect().intersects(list.visualRect(last)));
        QVERIFY(!list.viewport()->rect().intersects(list.visualRect(list.model()->index(0, 0))));

        QTest::keyClick(&list, Qt::Key_Right);
        QWheelEvent tilt(QPointF(10, 10), list.viewport()->mapToGlobal(QPointF(10, 10)), QPoint(),
                         QPoint(-240, 0), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(list.viewport(), &tilt);
        QCOMPARE(list.horizontalScrollBar()->value(), 0);

        list.scrollToTop();
        const auto at = [&](int row) {
            return list.visualRect(list.model()->index(row, 0)).center();
        };
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at(1));
        QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ControlModifier, at(3));
        QCOMPARE(list.selectionModel()->selectedRows(), QModelIndexList{list.model()->index(3, 0)});
        QCOMPARE(run.Get<QLabel>("Label1").text(), "Current Custom.cfg settings");
        QCOMPARE(list.model()->rowCount(), 1000000);
        QCOMPARE(player.opened, QStringList{"QuorvelPrompt"});
        QCOMPARE(game.Read("newconfig.cfg"), std::nullopt);
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
