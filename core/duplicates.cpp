#include "core/duplicates.h"

#include "core/base_settings.h"
#include "core/detail_choices.h"
#include "core/installer.h"

#include <algorithm>
#include <cstdint>
#include <functional>

namespace quorvel {
namespace {

// A set of lines in one table, open addressed: no allocation per line, as a
// node-based set makes, and 8 bytes a slot, which matters with a million
// lines. Each line can be marked once it has been met.
class LineSet {
public:
    explicit LineSet(std::size_t lines) {
        std::size_t size = 16;
        while (size < 2 * lines) {
            size *= 2;
        }
        slots_.resize(size);
        mask_ = size - 1;
        entries_.reserve(lines);
    }

    // Adds `line`; false when it was there already.
    bool Insert(std::string_view line) {
        const std::size_t hash = Hash(line);
        Slot& slot = slots_[Find(line, hash)];
        if (slot.entry != 0) {
            return false;
        }
        entries_.push_back({line, false});
        slot = {static_cast<std::uint32_t>(entries_.size()), Tag(hash)};
        return true;
    }

    bool Contains(std::string_view line) const { return Entry(line) != nullptr; }

    // Marks `line`; true when it is in the set and was not marked yet.
    bool Mark(std::string_view line) {
        Line* entry = Entry(line);
        if (entry == nullptr || entry->marked) {
            return false;
        }
        entry->marked = true;
        return true;
    }

    // The lines in the order they were added, and whether each was marked.
    std::size_t Count() const { return entries_.size(); }
    std::string_view At(std::size_t index) const { return entries_[index].text; }
    bool IsMarkedAt(std::size_t index) const { return entries_[index].marked; }

private:
    struct Line {
        std::string_view text;
        bool marked;
    };
    struct Slot {
        std::uint32_t entry = 0; // 1 + index in entries_, 0 when free
        std::uint32_t tag = 0;   // high bits of the line's hash
    };

    static std::size_t Hash(std::string_view line) { return std::hash<std::string_view>{}(line); }
    static std::uint32_t Tag(std::size_t hash) {
        return static_cast<std::uint32_t>(static_cast<std::uint64_t>(hash) >> 32);
    }

    // The slot that holds `line`, or the free one where it would go.
    std::size_t Find(std::string_view line, std::size_t hash) const {
        const std::uint32_t tag = Tag(hash);
        std::size_t at = hash & mask_;
        while (slots_[at].entry != 0 &&
               (slots_[at].tag != tag || entries_[slots_[at].entry - 1].text != line)) {
            at = (at + 1) & mask_;
        }
        return at;
    }
    const Line* Entry(std::string_view line) const {
        const Slot& slot = slots_[Find(line, Hash(line))];
        return slot.entry == 0 ? nullptr : &entries_[slot.entry - 1];
    }
    Line* Entry(std::string_view line) {
        return const_cast<Line*>(static_cast<const LineSet&>(*this).Entry(line));
    }

    std::vector<Slot> slots_;
    std::size_t mask_ = 0;
    std::vector<Line> entries_;
};

} // namespace

bool IsInstallerLine(std::string_view trimmed) {
    static const LineSet own = [] {
        std::vector<std::string_view> lines(BaseSettings.begin(), BaseSettings.end());
        lines.emplace_back(kHeaderLine);
        lines.emplace_back(kEndMarkerLine);
        for (const auto kind : {DetailDialogKind::Texture, DetailDialogKind::Model}) {
            for (const DetailAnswer& answer : DetailAnswers(kind)) {
                lines.insert(lines.end(), answer.lines.begin(), answer.lines.end());
            }
        }
        LineSet set(lines.size());
        for (const std::string_view line : lines) {
            set.Insert(line);
        }
        return set;
    }();
    return own.Contains(trimmed);
}

std::vector<std::string_view> HandAddedLines(const LineBuffer& oldCustomCfg,
                                             std::span<const std::string_view> earlier,
                                             bool firstInstallation) {
    // The candidates, each once, in file order. Only they are kept in a set:
    // the earlier lines, which may be many more, are looked up one by one,
    // until every candidate has been met.
    LineSet candidates(oldCustomCfg.Count());
    for (std::size_t i = 0; i < oldCustomCfg.Count(); ++i) {
        const std::string_view line = TrimSpaces(oldCustomCfg[i]);
        if (!line.empty() && (firstInstallation || !IsInstallerLine(line))) {
            candidates.Insert(line);
        }
    }
    std::size_t unmet = candidates.Count();
    for (auto line = earlier.begin(); unmet > 0 && line != earlier.end(); ++line) {
        if (candidates.Mark(*line)) {
            --unmet;
        }
    }
    std::vector<std::string_view> added;
    added.reserve(unmet);
    for (std::size_t i = 0; i < candidates.Count(); ++i) {
        if (!candidates.IsMarkedAt(i)) {
            added.push_back(candidates.At(i));
        }
    }
    return added;
}

void RemoveInstalledLines(std::vector<std::string_view>& lines,
                          std::span<const std::string_view> installing) {
    LineSet installed(installing.size());
    for (const std::string_view line : installing) {
        if (!line.empty()) {
            installed.Insert(TrimSpaces(line));
        }
    }
    const auto isInstalled = [&installed](std::string_view line) {
        return !line.empty() && installed.Contains(TrimSpaces(line));
    };
    lines.erase(std::remove_if(lines.begin(), lines.end(), isInstalled), lines.end());
}

} // namespace quorvel
