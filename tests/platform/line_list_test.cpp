// The list of lines behind List1 and List2: order, changes, what an observer
// hears, and how long the text of shared lines is kept.

#include "platform/line_list.h"
#include "tests/support/line_lists.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace quorvel {
namespace {

using test::AppendViews;
using test::LinesOf;
using Lines = std::vector<std::string>;

// What an observer hears: "+first,count" before an insertion, "-first,count"
// before a removal.
class Recorder : public LineList::Observer {
public:
    void BeforeInsert(std::size_t first, std::size_t count) override { Heard("+", first, count); }
    void AfterInsert() override { heard.push_back("inserted"); }
    void BeforeRemove(std::size_t first, std::size_t count) override { Heard("-", first, count); }
    void AfterRemove() override { heard.push_back("removed"); }
    void BeforeReset() override { heard.push_back("reset"); }
    void AfterReset() override { heard.push_back("was reset"); }
    void Heard(const char* what, std::size_t first, std::size_t count) {
        heard.push_back(what + std::to_string(first) + "," + std::to_string(count));
    }

    std::vector<std::string> heard;
};

TEST(LineList, KeepsLinesInOrderThroughEveryChange) {
    LineList list;
    Recorder recorder;
    list.SetObserver(&recorder);
    list.Append("one");
    list.AppendMany({"two", "a line longer than any short string"});
    const auto text = std::make_shared<const std::string>("  four  \r\nfive");
    AppendViews(list, text,
                {std::string_view(*text).substr(2, 4), std::string_view(*text).substr(10)});
    list.AppendMany({});
    AppendViews(list, text, {});
    EXPECT_EQ(LinesOf(list),
              (Lines{"one", "two", "a line longer than any short string", "four", "five"}));

    list.RemoveAt(1);
    list.RemoveAt(3);
    list.RemoveAt(0);
    EXPECT_THROW(list.RemoveAt(2), std::out_of_range);
    EXPECT_THROW(list.View(2), std::out_of_range);
    list.Append("six"); // after a run whose last line went
    list.RemoveAt(0);
    EXPECT_EQ(LinesOf(list), (Lines{"four", "six"}));

    list.Assign({"x", "y"});
    EXPECT_EQ(LinesOf(list), (Lines{"x", "y"}));
    list.Clear();
    list.Clear(); // nothing to clear: nobody hears of it
    EXPECT_TRUE(LinesOf(list).empty());
    list.Assign({});
    EXPECT_EQ(
        recorder.heard,
        (Lines{"+0,1",  "inserted",  "+1,2",  "inserted",  "+3,2",  "inserted", "-1,1", "removed",
               "-3,1",  "removed",   "-0,1",  "removed",   "+2,1",  "inserted", "-0,1", "removed",
               "reset", "was reset", "reset", "was reset", "reset", "was reset"}));
}

TEST(LineList, KeepsSharedTextWhileItsLinesAreThere) {
    LineList list;
    auto text = std::make_shared<const std::string>("first\r\nsecond");
    const std::weak_ptr<const std::string> watch = text;
    AppendViews(list, text,
                {std::string_view(*text).substr(0, 5), std::string_view(*text).substr(7)});
    text.reset();
    ASSERT_FALSE(watch.expired());
    EXPECT_EQ(LinesOf(list), (Lines{"first", "second"}));
    list.Append("third");
    list.RemoveAt(0);
    EXPECT_FALSE(watch.expired());
    list.RemoveAt(0);
    EXPECT_TRUE(watch.expired());
    EXPECT_EQ(LinesOf(list), (Lines{"third"}));
}

} // namespace
} // namespace quorvel
