#include "line_list.h"

#include <stdexcept>
#include <utility>

namespace quorvel {

void LineList::Append(std::string line) {
    if (observer_) {
        observer_->BeforeInsert(lines_.size(), 1);
    }
    lines_.push_back(std::move(line));
    if (observer_) {
        observer_->AfterInsert();
    }
}

void LineList::AppendMany(std::vector<std::string> lines) {
    if (lines.empty()) {
        return;
    }
    if (observer_) {
        observer_->BeforeInsert(lines_.size(), lines.size());
    }
    if (lines_.empty()) {
        lines_ = std::move(lines);
    } else {
        lines_.reserve(lines_.size() + lines.size());
        for (auto& line : lines) {
            lines_.push_back(std::move(line));
        }
    }
    if (observer_) {
        observer_->AfterInsert();
    }
}

void LineList::Assign(std::vector<std::string> lines) {
    if (observer_) {
        observer_->BeforeReset();
    }
    lines_ = std::move(lines);
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
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(index));
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
    if (observer_) {
        observer_->AfterReset();
    }
}

} // namespace quorvel
