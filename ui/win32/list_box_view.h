#pragma once

// A list that shows a LineList with the look of a list box: a virtual list
// view (LVS_OWNERDATA, one column, no header) that holds no rows of its own,
// only their number, and is given each row's text when it asks
// (LVN_GETDISPINFO). A file of a million lines costs it nothing but its
// count, and since the list view asks for the text, the system's
// accessibility (screen readers) and LVM_GETITEMTEXT from other programs read
// the rows as they show.

#include "platform/line_list.h"

#include <cstddef>
#include <optional>
#include <windows.h>

namespace quorvel::win32 {

class ListBoxView : public LineList::Observer {
public:
    explicit ListBoxView(LineList& lines) : lines_(lines) { lines_.SetObserver(this); }
    ~ListBoxView() override { lines_.SetObserver(nullptr); }
    ListBoxView(const ListBoxView&) = delete;
    ListBoxView& operator=(const ListBoxView&) = delete;

    // The window class and styles of a list for Attach.
    static const wchar_t* ClassName();
    static DWORD Style(bool visible);

    // Shows the list in `listView`, made with ClassName and Style; null stops
    // showing it.
    void Attach(HWND listView);

    // Answers the parent's WM_NOTIFY when it comes from this list: gives the
    // text of a row (LVN_GETDISPINFO), and finds no row for the keys typed
    // (LVN_ODFINDITEM), as the list box did. Nothing when it comes from
    // elsewhere.
    std::optional<LRESULT> Notify(NMHDR& header) const;

    void BeforeInsert(std::size_t first, std::size_t count) override;
    void AfterInsert() override;
    void BeforeRemove(std::size_t first, std::size_t count) override;
    void AfterRemove() override;
    void BeforeReset() override;
    void AfterReset() override;

private:
    static LRESULT CALLBACK Subclass(HWND listView, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR id, DWORD_PTR self);
    // Notes the selected row and the first row shown.
    void Remember();
    // Sets the list view's count to the list's, then the selection and the
    // first row shown.
    void Sync(int selection, int top);
    // Makes `top` the first row shown.
    void ScrollTo(int top);
    // The one column fills the list's width, as a list box's rows do.
    void FitColumn();

    LineList& lines_;
    HWND listView_ = nullptr;
    int selection_ = -1;
    int top_ = 0;
};

} // namespace quorvel::win32
