#pragma once

// Reading and filling a LineList the way tests do: every line at once, as
// strings to compare.

#include "platform/line_list.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel::test {

// Every line of `list`, in order, as strings.
std::vector<std::string> LinesOf(const LineList& list);

// Appends `lines`, which are parts of `text`, to `list` as one change; the
// list keeps `text` for as long as any of them is in it.
void AppendViews(LineList& list, std::shared_ptr<const std::string> text,
                 const std::vector<std::string_view>& lines);

} // namespace quorvel::test
