#include "core/detail_choices.h"

#include <stdexcept>
#include <string>

namespace quorvel {

const std::vector<DetailAnswer>& DetailAnswers(DetailDialogKind kind) {
    static const std::vector<DetailAnswer> texture = {
        {"High", {"setu r_picmip 0"}},
        {"Medium", {"setu r_picmip 1"}},
        {"Low", {"setu r_picmip 2"}},
    };
    // "Med" and "Lowest" share their first line, "Low" and "Lowest" their
    // last, and "Lowest" is above "Low" in its first two values: the game's
    // own presets, kept exactly as they are.
    static const std::vector<DetailAnswer> model = {
        {"Highest", {"setu r_lodcap 1", "setu r_lodscale 1", "setu r_lodviewmodelcap 1"}},
        {"Higher", {"setu r_lodcap .9", "setu r_lodscale .9", "setu r_lodviewmodelcap .9"}},
        {"High", {"setu r_lodcap .5", "setu r_lodscale .55", "setu r_lodviewmodelcap .55"}},
        {"Med", {"setu r_lodcap .35", "setu r_lodscale .45", "setu r_lodviewmodelcap .45"}},
        {"Low", {"setu r_lodcap .25", "setu r_lodscale .25", "setu r_lodviewmodelcap .25"}},
        {"Lowest", {"setu r_lodcap .35", "setu r_lodscale .359", "setu r_lodviewmodelcap .25"}},
    };
    return kind == DetailDialogKind::Texture ? texture : model;
}

const DetailAnswer* FindDetailAnswer(DetailDialogKind kind, std::string_view button) {
    for (const DetailAnswer& answer : DetailAnswers(kind)) {
        if (answer.button == button) {
            return &answer;
        }
    }
    return nullptr;
}

void ApplyDetailDialogResult(DetailDialogKind kind, const DetailDialogResult& result,
                             LineList& installList, AbortFlagValue& abortFlag) {
    switch (result.outcome) {
    case DialogOutcome::Answered: {
        const DetailAnswer* answer = FindDetailAnswer(kind, result.answer);
        if (!answer) {
            throw std::logic_error("the detail dialog has no answer \"" + result.answer + "\"");
        }
        for (std::string_view line : answer->lines) {
            installList.Append(std::string(line));
        }
        return;
    }
    case DialogOutcome::NeedToCheck:
        abortFlag = std::int16_t{1};
        return;
    case DialogOutcome::ClosedWithoutAnswer:
        return;
    }
}

} // namespace quorvel
