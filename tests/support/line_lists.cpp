#include "tests/support/line_lists.h"

#include <utility>

namespace quorvel::test {
namespace {

// Lines that are parts of a text, which they keep.
class TextViews final : public LineSource {
public:
    TextViews(std::shared_ptr<const std::string> text, std::vector<std::string_view> views)
        : text_(std::move(text)), views_(std::move(views)) {}
    std::size_t Count() const override { return views_.size(); }
    std::string_view Line(std::size_t index) const override { return views_[index]; }

private:
    std::shared_ptr<const std::string> text_;
    std::vector<std::string_view> views_;
};

} // namespace

std::vector<std::string> LinesOf(const LineList& list) {
    std::vector<std::string> lines;
    lines.reserve(list.Count());
    for (std::size_t i = 0; i < list.Count(); ++i) {
        lines.emplace_back(list.View(i));
    }
    return lines;
}

void AppendViews(LineList& list, std::shared_ptr<const std::string> text,
                 const std::vector<std::string_view>& lines) {
    list.AppendSource(std::make_shared<const TextViews>(std::move(text), lines));
}

} // namespace quorvel::test
