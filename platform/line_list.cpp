#include "platform/line_list.h"

#include <stdexcept>
#include <utility>

namespace quorvel {

void LineList::Append(std::string line) {
    const auto kept = std::make_shared<const std::string>(std::move(line));
    // Whatever can fail does so before the observer hears of a change.
    lines_.reserve(lines_.size() + 1);
    const std::size_t owner = Keep(kept, 1);
    if (observer_) {
        observer_->BeforeInsert(lines_.size(), 1);
    }
    lines_.push_back({*kept, owner});
    if (observer_) {
        observer_->AfterInsert();
    }
}

void LineList::AppendMany(std::vector<std::string> lines) {
    if (lines.empty()) {
        return;
    }
    const auto kept = std::make_shared<const std::vector<std::string>>(std::move(lines));
    lines_.reserve(lines_.size() + kept->size());
    const std::size_t owner = Keep(kept, kept->size());
    if (observer_) {
        observer_->BeforeInsert(lines_.size(), kept->size());
    }
    for (const std::string& line : *kept) {
        lines_.push_back({line, owner});
    }
    if (observer_) {
        observer_->AfterInsert();
    }
}

void LineList::Assign(std::vector<std::string> lines) {
    const auto kept = std::make_shared<const std::vector<std::string>>(std::move(lines));
    std::vector<Line> fresh;
    fresh.reserve(kept->size());
    for (const std::string& line : *kept) {
        fresh.push_back({line, 0});
    }
    std::vector<Owner> owners;
    if (!kept->empty()) {
        owners.push_back({kept, kept->size()});
    }
    if (observer_) {
        observer_->BeforeReset();
    }
    lines_ = std::move(fresh);
    owners_ = std::move(owners);
    freeOwners_.clear();
    if (observer_) {
        observer_->AfterReset();
    }
}

void LineList::RemoveAt(std::size_t index) {
    if (index >= lines_.size()) {
        throw std::out_of_range("LineList::RemoveAt: no line at that index");
    }
    if (observer_) {
        observer_->BeforeRemove(index, 1);
    }
    const std::size_t owner = lines_[index].owner;
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(index));
    Release(owner);
    if (observer_) {
        observer_->AfterRemove();
    }
}

void LineList::Clear() {
    if (lines_.empty()) {
        return;
    }
    if (observer_) {
        observer_->BeforeReset();
    }
    lines_.clear();
    owners_.clear();
    freeOwners_.clear();
    if (observer_) {
        observer_->AfterReset();
    }
}

std::string_view LineList::View(std::size_t index) const {
    if (index >= lines_.size()) {
        throw std::out_of_range("LineList::View: no line at that index");
    }
    return lines_[index].text;
}

std::size_t LineList::Keep(std::shared_ptr<const void> keeps, std::size_t lines) {
    if (freeOwners_.empty()) {
        owners_.push_back({std::move(keeps), lines});
        return owners_.size() - 1;
    }
    const std::size_t owner = freeOwners_.back();
    freeOwners_.pop_back();
    owners_[owner] = {std::move(keeps), lines};
    return owner;
}

void LineList::Release(std::size_t owner) {
    if (--owners_[owner].lines == 0) {
        owners_[owner].keeps.reset();
        freeOwners_.push_back(owner);
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
