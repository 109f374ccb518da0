#include "ui/qt/main_window.h"

#include "ui/qt/line_list_model.h"
#include "ui/qt/program_font.h"
#include "ui/qt/program_icon.h"
#include "ui/qt/window_placement.h"

#include <exception>

#include <QApplication>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>

namespace quorvel::ui {
namespace {

// Rows a list lays out at a time. Laying out a row costs Qt about 0.1 µs;
// a file of more rows than this is laid out a batch at a time between
// events, so that the window answers the player while the rest is laid out.
constexpr int kLayoutBatch = 1000000;

constexpr int kClientWidth = 539;
constexpr int kClientHeight = 350;

// Two spaces before "a custom.cfg" and one at the end, as the game's players
// have always read it.
const char* const kExplanation =
    "This program will add the quorvel config settings to the custom.cfg file or will "
    "create  a custom.cfg file if one does not exist. ";

QListView* MakeList(QWidget* parent, LineListModel* model, const char* name) {
    auto* list = new QListView(parent);
    list->setObjectName(name);
    list->setModel(model);
    list->setUniformItemSizes(true);
    list->setLayoutMode(QListView::Batched);
    list->setBatchSize(kLayoutBatch);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setWordWrap(false);
    list->setTextElideMode(Qt::ElideNone);
    return list;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, const QFont& font) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setFont(font);
    label->setTextFormat(Qt::PlainText);
    label->setFocusPolicy(Qt::NoFocus);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setWordWrap(true);
    return label;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    // Enter presses the button that has the focus, and only that one.
    button->setAutoDefault(true);
    button->setDefault(false);
    return button;
}

} // namespace

MainWindow::MainWindow(Installer& installer, QWidget* parent)
    : QWidget(parent), installer_(installer), currentModel_(new LineListModel(currentList_, this)),
      installModel_(new LineListModel(installList_, this)) {
    setObjectName("Form1");
    setWindowTitle(kMainWindowCreationCaption);
    setWindowIcon(ProgramIcon());
    // A fixed frame: the player cannot resize the window.
    setFixedSize(kClientWidth, kClientHeight);
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);

    command1_ = MakeButton(this, "Command1", "Install Quorvel Config");
    command1_->setGeometry(280, 320, 137, 25);

    label1_ =
        MakeLabel(this, "Label1", "Current Custom.cfg settings", SerifFont(14.25, QFont::Normal));
    label1_->setGeometry(16, 16, 505, 25);

    list1_ = MakeList(this, currentModel_, "List1");
    list1_->setFont(SerifFont(12, QFont::Normal));
    list1_->setGeometry(16, 48, 505, 194);
    list1_->setAccessibleDescription("The lines of the game's custom.cfg, one a row");

    command2_ = MakeButton(this, "Command2", "Exit");
    command2_->setGeometry(432, 320, 81, 25);

    // The lines to install are kept in a list the player never sees.
    list2_ = MakeList(this, installModel_, "List2");
    list2_->setGeometry(16, 319, 97, 17);
    list2_->setFocusPolicy(Qt::NoFocus);
    list2_->hide();
    list2_->setAccessibleName("Settings to install");
    list2_->setAccessibleDescription("The lines the installation writes into custom.cfg");

    label2_ = MakeLabel(this, "Label2", kExplanation, SerifFont(12, QFont::Bold));
    label2_->setGeometry(16, 264, 505, 41);
    label2_->setAccessibleName(label2_->text());
    label2_->setAccessibleDescription("What Install Quorvel Config does");
    label1_->setAccessibleDescription("The heading of the list below");
    NameList1AfterLabel1();

    setTabOrder(command1_, list1_);
    setTabOrder(list1_, command2_);

    connect(command1_, &QPushButton::clicked, this, [this] { Install(); });
    connect(command2_, &QPushButton::clicked, this, [this] { close(); });

    command1_->setFocus();
}

MainWindow::~MainWindow() = default;

void MainWindow::Load() {
    installer_.RunStartup(*this);
    CentreOnScreen(*this);
}

void MainWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The first showing centres the whole window, frame included, now that
    // the frame is known. Later showings keep the place the player gave it.
    if (!event->spontaneous() && !placedWithFrame_) {
        placedWithFrame_ = true;
        CentreOnScreen(*this);
    }
}

void MainWindow::SetCaption(const std::string& caption) {
    setWindowTitle(QString::fromLocal8Bit(caption.data(), static_cast<qsizetype>(caption.size())));
}

void MainWindow::SetLabel1Caption(const std::string& caption) {
    label1_->setText(
        QString::fromLocal8Bit(caption.data(), static_cast<qsizetype>(caption.size())));
    NameList1AfterLabel1();
}

void MainWindow::NameList1AfterLabel1() {
    // A screen reader reads the list by the heading the player sees above it.
    label1_->setAccessibleName(label1_->text());
    list1_->setAccessibleName(label1_->text());
}

void MainWindow::Close() {
    close();
}

void MainWindow::Install() {
    try {
        installer_.RunInstallation(*this);
    } catch (const std::exception& error) {
        // Nothing the installation can meet in ordinary use ends up here; if
        // something does, say so and stop rather than carry on half done.
        QMessageBox::critical(nullptr, "quorvel",
                              QString("The installation stopped: %1").arg(error.what()));
        QApplication::exit(1);
    }
}

} // namespace quorvel::ui
