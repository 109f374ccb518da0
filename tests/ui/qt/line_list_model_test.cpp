// The list model behind List1 and List2: Qt's own model checks through every
// kind of change to the LineList, and how a very long line is shown.

#include "platform/line_list.h"
#include "tests/support/line_lists.h"
#include "ui/qt/line_list_model.h"

#include <memory>
#include <string>

#include <QAbstractItemModelTester>
#include <QTest>

class LineListModelTest : public QObject {
    Q_OBJECT

private slots:
    void keepsInStepWithEveryChange() {
        quorvel::LineList lines;
        quorvel::ui::LineListModel model(lines);
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);

        lines.Append("one");
        lines.AppendMany({"two", "three", "four"});
        const auto text = std::make_shared<const std::string>("five\r\nsix");
        quorvel::test::AppendViews(
            lines, text, {std::string_view(*text).substr(0, 4), std::string_view(*text).substr(6)});
        lines.RemoveAt(0);
        lines.RemoveAt(lines.Count() - 1);
        QCOMPARE(model.rowCount(), 4);
        QCOMPARE(model.index(3, 0).data().toString(), "five");
        lines.Assign({"x", "y"});
        QCOMPARE(model.index(1, 0).data().toString(), "y");
        lines.Clear();
        QCOMPARE(model.rowCount(), 0);
    }

    // A line past the display limit is cut before the character that would
    // be split, and an ellipsis follows; shorter lines are shown whole.
    void showsAVeryLongLineShortened() {
        // "é" is two bytes; the last one that fits would end one byte past the limit.
        std::string tooLong(quorvel::kDisplayLimit - 1, 'a');
        for (int i = 0; i < 1000; ++i) {
            tooLong += "\xC3\xA9";
        }
        const std::string fits(quorvel::kDisplayLimit, 'b');
        quorvel::LineList lines;
        quorvel::ui::LineListModel model(lines);
        lines.AppendMany({tooLong, fits});

        const QString shown = model.index(0, 0).data().toString();
        QCOMPARE(shown, QString(quorvel::kDisplayLimit - 1, 'a') + QChar(0x2026));
        QCOMPARE(model.index(1, 0).data().toString(), QString::fromStdString(fits));
        QCOMPARE(lines.View(0), tooLong);
    }
};

QTEST_MAIN(LineListModelTest)
#include "line_list_model_test.moc"
