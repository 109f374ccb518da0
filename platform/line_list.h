#pragma once

// An ordered list of text lines, as a list box holds them: lines keep the
// order in which they were appended and are never sorted. The main window's
// two lists are LineLists; a view can watch one through its Observer.
//
// The list does not copy lines into strings of their own, nor keep an entry
// per line: it holds runs of lines of LineSources, which read each line
// where it is when asked. Lines read from a file stay in the file's text,
// shared with whoever read it (AppendSource), and lines handed
// over as strings stay in those strings. A file of millions of lines is
// therefore shown without a pass over its lines.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

// Lines kept somewhere, read one at a time where they are. A source never
// changes once made.
class LineSource {
public:
    virtual ~LineSource() = default;
    virtual std::size_t Count() const = 0;
    // The line at a zero-based index below Count().
    virtual std::string_view Line(std::size_t index) const = 0;
};

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
    // Appends every line of `source`, in order, as one change. The list keeps
    // the source for as long as any of its lines is in it.
    void AppendSource(std::shared_ptr<const LineSource> source);
    // Replaces every line at once.
    void Assign(std::vector<std::string> lines);
    // Removes the line at a zero-based index; the following lines move up.
    void RemoveAt(std::size_t index);
    // Removes all lines.
    void Clear();

    std::size_t Count() const { return count_; }
    // The line at a zero-based index, read where it is; std::out_of_range
    // when there is no such line. Good until the list next changes.
    std::string_view View(std::size_t index) const;

private:
    // Lines first to first + count - 1 of a source.
    struct Run {
        std::shared_ptr<const LineSource> source;
        std::size_t first = 0;
        std::size_t count = 0;
    };

    // The run that holds line `index`, which is below Count().
    std::size_t RunOf(std::size_t index) const;
    // Brings starts_ up to date from run `from` on.
    void Restart(std::size_t from);

    std::vector<Run> runs_;
    // The index of the first line of each run.
    std::vector<std::size_t> starts_;
    std::size_t count_ = 0;
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
