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

class Recorder : public LineList::Observer {
public:
    void BeforeInsert(std::size_t first, std::size_t count) override {
        heard.push_back("insert " + std::to_string(first) + "+" + std::to_string(count));
    }
    void AfterInsert() override { heard.push_back("inserted"); }
    void BeforeRemove(std::size_t first, std::size_t count) override {
        heard.push_back("remove " + std::to_string(first) + "+" + std::to_string(count));
    }
    void AfterRemove() override { heard.push_back("removed"); }
    void BeforeReset() override { heard.push_back("reset"); }
    void AfterReset() override { heard.push_back("was reset"); }

    std::vector<std::string> heard;
};

TEST(LineList, KeepsLinesInTheOrderTheyCame) {
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

    const Lines expected{"one", "two", "a line longer than any short string", "four", "five"};
    EXPECT_EQ(LinesOf(list), expected);
    EXPECT_EQ(list.View(3), "four");
    EXPECT_EQ(list.Count(), 5u);
    EXPECT_EQ(recorder.heard, (Lines{"insert 0+1", "inserted", "insert 1+2", "inserted",
                                     "insert 3+2", "inserted"}));
}

TEST(LineList, RemovesAssignsAndClears) {
    LineList list;
    Recorder recorder;
    list.AppendMany({"a", "b", "c", "d"});
    EXPECT_EQ(LinesOf(list), (Lines{"a", "b", "c", "d"}));
    list.SetObserver(&recorder);

    list.RemoveAt(1);
    EXPECT_EQ(LinesOf(list), (Lines{"a", "c", "d"}));
    list.Append("e");
    list.RemoveAt(3);
    list.RemoveAt(0);
    EXPECT_EQ(LinesOf(list), (Lines{"c", "d"}));
    EXPECT_THROW(list.RemoveAt(2), std::out_of_range);
    EXPECT_THROW(list.View(2), std::out_of_range);

    list.Assign({"x", "y"});
    EXPECT_EQ(LinesOf(list), (Lines{"x", "y"}));
    list.Clear();
    list.Clear(); // nothing to clear: nobody hears of it
    EXPECT_EQ(list.Count(), 0u);
    EXPECT_TRUE(LinesOf(list).empty());
    list.Assign({});
    EXPECT_EQ(recorder.heard, (Lines{"remove 1+1", "removed", "insert 3+1", "inserted",
                                     "remove 3+1", "removed", "remove 0+1", "removed", "reset",
                                     "was reset", "reset", "was reset", "reset", "was reset"}));
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
