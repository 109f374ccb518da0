#pragma once

// A list box that shows a LineList: an owner-drawn list box that holds no
// strings of its own (LBS_NODATA), only the number of rows, and draws each
// visible row from the list when asked. A file of a million lines costs the
// list box nothing but its count.

#include "platform/line_list.h"

#include <cstddef>
#include <windows.h>

namespace quorvel::win32 {

class ListBoxView : public LineList::Observer {
public:
    explicit ListBoxView(LineList& lines) : lines_(lines) { lines_.SetObserver(this); }
    ~ListBoxView() override { lines_.SetObserver(nullptr); }
    ListBoxView(const ListBoxView&) = delete;
    ListBoxView& operator=(const ListBoxView&) = delete;

    // Shows the list in `listBox`, which must have LBS_NODATA and
    // LBS_OWNERDRAWFIXED; null stops showing it.
    void Attach(HWND listBox);

    // Draws one row, for the parent's WM_DRAWITEM.
    void Draw(const DRAWITEMSTRUCT& item) const;

    void BeforeInsert(std::size_t first, std::size_t count) override;
    void AfterInsert() override;
    void BeforeRemove(std::size_t first, std::size_t count) override;
    void AfterRemove() override;
    void BeforeReset() override;
    void AfterReset() override;

private:
    static LRESULT CALLBACK Subclass(HWND listBox, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR id, DWORD_PTR self);
    // Sets the list box's count to the list's, then the selection and the
    // first row shown.
    void Sync(int selection, int top);

    LineList& lines_;
    HWND listBox_ = nullptr;
    int selection_ = -1;
    int top_ = 0;
    // Where the scroll box was last dragged to.
    int trackedTop_ = 0;
};

} // namespace quorvel::win32
