#pragma once

// The answers of the two detail dialogs and the lines each one installs.

#include "window_system.h"

#include <span>
#include <string_view>
#include <vector>

namespace quorvel {

struct DetailAnswer {
    std::string_view button;
    // Appended to the install list in this order.
    std::vector<std::string_view> lines;
};

// The dialog's answers, in the order of its answer buttons.
const std::vector<DetailAnswer>& DetailAnswers(DetailDialogKind kind);

// The answer whose button reads `button`, or null.
const DetailAnswer* FindDetailAnswer(DetailDialogKind kind, std::string_view button);

// What a detail dialog's answer button does before it closes the dialog.
void AppendDetailAnswer(const DetailAnswer& answer, LineList& installList);

// What "Need to go Check" does after it closes the dialog.
void SetAbortFlag(AbortFlagValue& abortFlag);

inline constexpr std::string_view kNeedToGoCheck = "Need to go Check";

} // namespace quorvel
