#pragma once

#include "core/installer.h"
#include "platform/line_list.h"
#include "platform/window_system.h"

#include <QWidget>

class QLabel;
class QListView;
class QPushButton;
class QShowEvent;

namespace quorvel::ui {

class LineListModel;

// The main window, Form1: the current custom.cfg lines, the hidden list of
// lines to install, and the install and exit buttons.
class MainWindow : public QWidget, public MainWindowPort {
public:
    explicit MainWindow(Installer& installer, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The load step: runs start-up while the window is still hidden, so
    // that the caption it sets is the first one the player sees.
    void Load();

    LineList& CurrentList() override { return currentList_; }
    LineList& InstallList() override { return installList_; }
    void SetCaption(const std::string& caption) override;
    void SetLabel1Caption(const std::string& caption) override;
    void Close() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Install();
    void NameList1AfterLabel1();

    Installer& installer_;
    LineList currentList_;
    LineList installList_;
    LineListModel* currentModel_;
    LineListModel* installModel_;

    QPushButton* command1_;
    QLabel* label1_;
    QListView* list1_;
    QListView* list2_;
    QLabel* label2_;
    bool placedWithFrame_ = false;
};

} // namespace quorvel::ui
