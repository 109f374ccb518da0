#pragma once

// Plays the player's part in the program's modal windows: each one that
// opens is answered, from inside its own event loop, by the next step queued
// for its object name. One that opens with none queued, or stays open after
// its step, is closed and recorded, so that a failing test ends rather than
// waits for a player.

#include <algorithm>
#include <deque>
#include <functional>
#include <utility>

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QPushButton>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <QWidget>

namespace quorvel::test {

using Step = std::function<void(QWidget&)>;

// Clicks the one button of the window that reads `text`.
inline Step Press(const QString& text) {
    return [text](QWidget& window) {
        const QList<QPushButton*> buttons = window.findChildren<QPushButton*>();
        const auto reads = [&text](const QPushButton* button) { return button->text() == text; };
        QVERIFY2(std::ranges::count_if(buttons, reads) == 1,
                 qPrintable("no single button " + text));
        QTest::mouseClick(*std::ranges::find_if(buttons, reads), Qt::LeftButton);
    };
}

class ModalWindows : public QObject {
public:
    ModalWindows() { qApp->installEventFilter(this); }
    ~ModalWindows() override { qApp->removeEventFilter(this); }

    void Then(const QString& name, Step step) { queue_.emplace_back(name, std::move(step)); }

    QStringList opened;   // the modal windows, in order
    QStringList leftOpen; // unexpected, or still open after their step
    QStringList captions; // the caption of each other window at each showing

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        auto* shown = qobject_cast<QWidget*>(object);
        if (event->type() != QEvent::Show || !shown || !shown->isWindow()) {
            return false;
        }
        if (!shown->isModal()) {
            captions << shown->windowTitle();
            return false;
        }
        opened << shown->objectName();
        Step step;
        if (!queue_.empty() && queue_.front().first == shown->objectName()) {
            step = std::move(queue_.front().second);
            queue_.pop_front();
        }
        QTimer::singleShot(0, shown, [this, guard = QPointer<QWidget>(shown), step] {
            if (step && QApplication::activeModalWidget() == guard) {
                step(*guard);
            }
            if (guard && guard->isVisible()) {
                leftOpen << guard->objectName();
                guard->close();
            }
        });
        return false;
    }

private:
    std::deque<std::pair<QString, Step>> queue_;
};

} // namespace quorvel::test
