#pragma once

// An ordered list of text lines, as a list box holds them: lines keep the
// order in which they were appended and are never sorted. The main window's
// two lists are LineLists; a view can watch one through its Observer.

#include <cstddef>
#include <string>
#include <vector>

namespace quorvel {

class LineList {
public:
    // Told before and after every change, so that a view can keep in step.
    class Observer {
    public:
        virtual ~Observer() = default;
        virtual void BeforeInsert(std::size_t first, std::size_t count) = 0;
        virtual void AfterInsert() = 0;
        virtual void BeforeRemove(std::size_t first, std::size_t count) = 0;
        virtual void AfterRemove() = 0;
        virtual void BeforeReset() = 0;
        virtual void AfterReset() = 0;
    };

    LineList() = default;
    LineList(const LineList&) = delete;
    LineList& operator=(const LineList&) = delete;

    void SetObserver(Observer* observer) { observer_ = observer; }

    // Appends one line at the end.
    void Append(std::string line);
    // Appends many lines at the end, in order, as one change.
    void AppendMany(std::vector<std::string> lines);
    // Replaces every line at once.
    void Assign(std::vector<std::string> lines);
    // Removes the line at a zero-based index; the following lines move up.
    void RemoveAt(std::size_t index);
    // Removes all lines.
    void Clear();

    std::size_t Count() const { return lines_.size(); }
    const std::string& At(std::size_t index) const { return lines_.at(index); }
    const std::vector<std::string>& Lines() const { return lines_; }

private:
    std::vector<std::string> lines_;
    Observer* observer_ = nullptr;
};

} // namespace quorvel
