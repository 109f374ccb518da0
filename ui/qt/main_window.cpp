#include "ui/qt/main_window.h"

#include "ui/qt/form_builder.h"
#include "ui/qt/line_list_model.h"
#include "ui/qt/program_icon.h"
#include "ui/qt/window_placement.h"

#include <exception>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

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

void SetUpList(QListView* list, LineListModel* model) {
    list->setModel(model);
    list->setUniformItemSizes(true);
    list->setLayoutMode(QListView::Batched);
    list->setBatchSize(kLayoutBatch);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setWordWrap(false);
    list->setTextElideMode(Qt::ElideNone);
}

template <typename Widget>
Widget* Find(const std::vector<BuiltControl>& controls, const char* name) {
    for (const auto& [control, widget] : controls) {
        if (std::string_view(control->name) == name) {
            if (auto* found = qobject_cast<Widget*>(widget)) {
                return found;
            }
        }
    }
    throw std::logic_error(std::string("Form1 has no control ") + name + " of that kind");
}

} // namespace

MainWindow::MainWindow(Installer& installer, QWidget* parent)
    : QWidget(parent), installer_(installer), currentModel_(new LineListModel(currentList_, this)),
      installModel_(new LineListModel(installList_, this)) {
    const forms::FormShape& shape = forms::MainForm();
    setObjectName(QString::fromLatin1(shape.name));
    setWindowTitle(QString::fromLatin1(shape.caption));
    setWindowIcon(ProgramIcon());
    // A fixed frame: the player cannot resize the window.
    setFixedSize(shape.clientWidth, shape.clientHeight);
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);

    const std::vector<BuiltControl> controls = BuildControls(*this, shape);
    for (const auto& [control, widget] : controls) {
        auto* button = qobject_cast<QPushButton*>(widget);
        if (!button) {
            continue;
        }
        // Enter presses the button that has the focus, and only that one.
        button->setAutoDefault(true);
        button->setDefault(false);
        if (control->role == forms::ButtonRole::Install) {
            connect(button, &QPushButton::clicked, this, [this] { Install(); });
        } else if (control->role == forms::ButtonRole::Exit) {
            connect(button, &QPushButton::clicked, this, [this] { close(); });
        }
    }
    command1_ = Find<QPushButton>(controls, "Command1");
    label1_ = Find<QLabel>(controls, "Label1");
    list1_ = Find<QListView>(controls, "List1");
    list2_ = Find<QListView>(controls, "List2");
    label2_ = Find<QLabel>(controls, "Label2");
    SetUpList(list1_, currentModel_);
    SetUpList(list2_, installModel_);

    // The lines to install are kept in a list the player never sees.
    list1_->setAccessibleDescription("The lines of the game's custom.cfg, one a row");
    list2_->setAccessibleName("Settings to install");
    list2_->setAccessibleDescription("The lines the installation writes into custom.cfg");
    label2_->setAccessibleName(label2_->text());
    label2_->setAccessibleDescription("What Install Quorvel Config does");
    label1_->setAccessibleDescription("The heading of the list below");
    NameList1AfterLabel1();

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
