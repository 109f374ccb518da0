#include "tests/support/line_lists.h"

#include <utility>

namespace quorvel::test {

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
    list.AppendShared(std::move(text), lines.size(), [&lines](std::size_t i) { return lines[i]; });
}

} // namespace quorvel::test
