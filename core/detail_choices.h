#pragma once

// The answers of the two detail dialogs and the lines each one installs.

#include "platform/window_system.h"

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

// Applies what the player did in a detail dialog of `kind`: an answer
// appends its lines to the end of `installList`, in order; "Need to go Check"
// sets `abortFlag` to 1; a dialog closed without an answer changes nothing.
// An answer that the dialog does not have is a programming error
// (std::logic_error), and changes nothing either.
void ApplyDetailDialogResult(DetailDialogKind kind, const DetailDialogResult& result,
                             LineList& installList, AbortFlagValue& abortFlag);

inline constexpr std::string_view kNeedToGoCheck = "Need to go Check";

} // namespace quorvel
