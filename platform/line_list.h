#pragma once

// An ordered list of text lines, as a list box holds them: lines keep the
// order in which they were appended and are never sorted. The main window's
// two lists are LineLists; a view can watch one through its Observer.
//
// The list does not copy lines one by one into strings of their own: lines
// read from a file stay in the file's text, which the list shares with
// whoever read it (AppendShared), and lines handed over as strings stay in
// those strings. View reads a line where it is.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
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
    // Appends `count` lines that are parts of `text`, line i being
    // lineAt(i), in order, as one change, without a vector of them first.
    // The list keeps `text` for as long as any of these lines is in it.
    template <typename LineAt>
    void AppendShared(std::shared_ptr<const std::string> text, std::size_t count, LineAt lineAt) {
        if (count == 0) {
            return;
        }
        // Whatever can fail does so before the observer hears of a change.
        lines_.reserve(lines_.size() + count);
        const std::size_t owner = Keep(std::move(text), count);
        if (observer_) {
            observer_->BeforeInsert(lines_.size(), count);
        }
        for (std::size_t i = 0; i < count; ++i) {
            lines_.push_back({lineAt(i), owner});
        }
        if (observer_) {
            observer_->AfterInsert();
        }
    }
    // Replaces every line at once.
    void Assign(std::vector<std::string> lines);
    // Removes the line at a zero-based index; the following lines move up.
    void RemoveAt(std::size_t index);
    // Removes all lines.
    void Clear();

    std::size_t Count() const { return lines_.size(); }
    // The line at a zero-based index, read where it is; std::out_of_range
    // when there is no such line. Good until the list next changes.
    std::string_view View(std::size_t index) const;

private:
    struct Line {
        std::string_view text;
        std::size_t owner; // in owners_
    };
    // What keeps the text of some lines alive, and how many lines use it.
    struct Owner {
        std::shared_ptr<const void> keeps;
        std::size_t lines = 0;
    };

    std::size_t Keep(std::shared_ptr<const void> keeps, std::size_t lines);
    void Release(std::size_t owner);

    std::vector<Line> lines_;
    std::vector<Owner> owners_;
    std::vector<std::size_t> freeOwners_;
    Observer* observer_ = nullptr;
};

// How a list box shows a line: a line longer than kDisplayLimit bytes is cut
// there, at the start of a character (the text is UTF-8 or an 8-bit code
// page; either way no character is split), and `ellipsis` is put after it.
// A list row is one line of a few hundred pixels, so nothing of the line
// that could be seen is lost, and a pasted blob of many megabytes does not
// have to be measured and drawn whole. The line itself is never changed.
inline constexpr std::size_t kDisplayLimit = 4096;
struct DisplayText {
    std::string_view shown; // the line, or its first part
    bool shortened = false; // true when the ellipsis follows
};
DisplayText ShortenForDisplay(std::string_view line);

} // namespace quorvel
