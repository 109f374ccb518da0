#include "duplicates.h"

#include "base_settings.h"
#include "detail_choices.h"
#include "installer.h"

#include <algorithm>
#include <unordered_set>

namespace quorvel {

bool IsInstallerLine(std::string_view trimmed) {
    static const std::unordered_set<std::string_view> own = [] {
        std::unordered_set<std::string_view> lines(BaseSettings.begin(), BaseSettings.end());
        lines.insert(kHeaderLine);
        lines.insert(kEndMarkerLine);
        for (const auto kind : {DetailDialogKind::Texture, DetailDialogKind::Model}) {
            for (const DetailAnswer& answer : DetailAnswers(kind)) {
                lines.insert(answer.lines.begin(), answer.lines.end());
            }
        }
        return lines;
    }();
    return own.count(trimmed) != 0;
}

std::vector<std::string_view> HandAddedLines(const LineBuffer& oldCustomCfg,
                                             std::span<const std::string_view> earlier) {
    // The candidates, each once, in file order. Only they are kept in a set:
    // the earlier lines, which may be many more, are looked up one by one.
    std::vector<std::string_view> candidates;
    std::unordered_set<std::string_view> missing;
    for (std::size_t i = 0; i < oldCustomCfg.Count(); ++i) {
        const std::string_view line = TrimSpaces(oldCustomCfg[i]);
        if (!line.empty() && !IsInstallerLine(line) && missing.insert(line).second) {
            candidates.push_back(line);
        }
    }
    for (auto line = earlier.begin(); !missing.empty() && line != earlier.end(); ++line) {
        missing.erase(*line);
    }
    std::vector<std::string_view> added;
    for (const std::string_view line : candidates) {
        if (missing.count(line) != 0) {
            added.push_back(line);
        }
    }
    return added;
}

void RemoveInstalledLines(std::vector<std::string_view>& lines,
                          std::span<const std::string_view> installing) {
    std::unordered_set<std::string_view> installed;
    installed.reserve(installing.size());
    for (const std::string_view line : installing) {
        if (!line.empty()) {
            installed.insert(TrimSpaces(line));
        }
    }
    const auto isInstalled = [&installed](std::string_view line) {
        return !line.empty() && installed.count(TrimSpaces(line)) != 0;
    };
    lines.erase(std::remove_if(lines.begin(), lines.end(), isInstalled), lines.end());
}

} // namespace quorvel
