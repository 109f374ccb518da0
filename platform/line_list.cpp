#include "platform/line_list.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace quorvel {
namespace {

// Lines that are strings of their own.
class StringLines final : public LineSource {
public:
    explicit StringLines(std::vector<std::string> lines) : lines_(std::move(lines)) {}
    std::size_t Count() const override { return lines_.size(); }
    std::string_view Line(std::size_t index) const override { return lines_[index]; }

private:
    std::vector<std::string> lines_;
};

} // namespace

void LineList::Append(std::string line) {
    std::vector<std::string> one;
    one.push_back(std::move(line));
    AppendMany(std::move(one));
}

void LineList::AppendMany(std::vector<std::string> lines) {
    if (!lines.empty()) {
        AppendSource(std::make_shared<const StringLines>(std::move(lines)));
    }
}

void LineList::AppendSource(std::shared_ptr<const LineSource> source) {
    const std::size_t count = source->Count();
    if (count == 0) {
        return;
    }
    // Whatever can fail does so before the observer hears of a change.
    runs_.reserve(runs_.size() + 1);
    starts_.reserve(starts_.size() + 1);
    if (observer_) {
        observer_->BeforeInsert(count_, count);
    }
    runs_.push_back({std::move(source), 0, count});
    starts_.push_back(count_);
    count_ += count;
    if (observer_) {
        observer_->AfterInsert();
    }
}

void LineList::Assign(std::vector<std::string> lines) {
    std::vector<Run> runs;
    std::vector<std::size_t> starts;
    const std::size_t count = lines.size();
    if (count > 0) {
        runs.push_back({std::make_shared<const StringLines>(std::move(lines)), 0, count});
        starts.push_back(0);
    }
    if (observer_) {
        observer_->BeforeReset();
    }
    runs_ = std::move(runs);
    starts_ = std::move(starts);
    count_ = count;
    if (observer_) {
        observer_->AfterReset();
    }
}

void LineList::RemoveAt(std::size_t index) {
    if (index >= count_) {
        throw std::out_of_range("LineList::RemoveAt: no line at that index");
    }
    const std::size_t run = RunOf(index);
    const std::size_t offset = index - starts_[run];
    // A line inside a run splits it in two; make room first.
    const bool splits = offset > 0 && offset + 1 < runs_[run].count;
    if (splits) {
        runs_.reserve(runs_.size() + 1);
        starts_.reserve(starts_.size() + 1);
    }
    if (observer_) {
        observer_->BeforeRemove(index, 1);
    }
    Run& from = runs_[run];
    const auto at = [](std::size_t i) { return static_cast<std::ptrdiff_t>(i); };
    if (from.count == 1) {
        runs_.erase(runs_.begin() + at(run));
        starts_.erase(starts_.begin() + at(run));
    } else if (offset == 0) {
        ++from.first;
        --from.count;
    } else if (!splits) {
        --from.count;
    } else {
        Run after{from.source, from.first + offset + 1, from.count - offset - 1};
        from.count = offset;
        runs_.insert(runs_.begin() + at(run) + 1, std::move(after));
        starts_.insert(starts_.begin() + at(run) + 1, 0);
    }
    --count_;
    Restart(run);
    if (observer_) {
        observer_->AfterRemove();
    }
}

void LineList::Clear() {
    if (count_ == 0) {
        return;
    }
    if (observer_) {
        observer_->BeforeReset();
    }
    runs_.clear();
    starts_.clear();
    count_ = 0;
    if (observer_) {
        observer_->AfterReset();
    }
}

std::string_view LineList::View(std::size_t index) const {
    if (index >= count_) {
        throw std::out_of_range("LineList::View: no line at that index");
    }
    const std::size_t run = RunOf(index);
    const Run& lines = runs_[run];
    return lines.source->Line(lines.first + (index - starts_[run]));
}

std::size_t LineList::RunOf(std::size_t index) const {
    const auto after = std::upper_bound(starts_.begin(), starts_.end(), index);
    return static_cast<std::size_t>(after - starts_.begin()) - 1;
}

void LineList::Restart(std::size_t from) {
    std::size_t start = from == 0 ? 0 : starts_[from - 1] + runs_[from - 1].count;
    for (std::size_t run = from; run < runs_.size(); ++run) {
        starts_[run] = start;
        start += runs_[run].count;
    }
}

DisplayText ShortenForDisplay(std::string_view line) {
    if (line.size() <= kDisplayLimit) {
        return {line, false};
    }
    std::size_t cut = kDisplayLimit;
    // Back up over UTF-8 continuation bytes, at most three, so that the cut
    // falls before a character rather than inside one.
    for (int back = 0;
         back < 3 && cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80; ++back) {
        --cut;
    }
    return {line.substr(0, cut), true};
}

} // namespace quorvel
