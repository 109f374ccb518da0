#include "ui/win32/list_box_view.h"

#include "ui/win32/wide_text.h"

#include <climits>
#include <commctrl.h>
#include <stdexcept>
#include <string>

namespace quorvel::win32 {
namespace {

// Space before the text of a row, as a plain list box leaves it.
constexpr int kTextIndent = 2;

int ToInt(std::size_t value) {
    return value > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(value);
}

} // namespace

void ListBoxView::Attach(HWND listBox) {
    if (listBox_) {
        RemoveWindowSubclass(listBox_, &ListBoxView::Subclass, 0);
    }
    listBox_ = listBox;
    if (listBox_) {
        SetWindowSubclass(listBox_, &ListBoxView::Subclass, 0, reinterpret_cast<DWORD_PTR>(this));
    }
    Sync(-1, 0);
}

LRESULT CALLBACK ListBoxView::Subclass(HWND listBox, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR, DWORD_PTR self) {
    auto& view = *reinterpret_cast<ListBoxView*>(self);
    if (message == WM_VSCROLL &&
        (LOWORD(wParam) == SB_THUMBTRACK || LOWORD(wParam) == SB_THUMBPOSITION)) {
        // The position in the message has 16 bits, too few for a list of
        // more than 65535 lines; the scroll bar itself knows the whole of it
        // while the box is dragged.
        if (LOWORD(wParam) == SB_THUMBTRACK) {
            SCROLLINFO scroll{};
            scroll.cbSize = sizeof scroll;
            scroll.fMask = SIF_TRACKPOS;
            if (GetScrollInfo(listBox, SB_VERT, &scroll)) {
                view.trackedTop_ = scroll.nTrackPos;
            }
        }
        SendMessageW(listBox, LB_SETTOPINDEX, static_cast<WPARAM>(view.trackedTop_), 0);
        return 0;
    }
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(listBox, &ListBoxView::Subclass, 0);
        view.listBox_ = nullptr;
    }
    return DefSubclassProc(listBox, message, wParam, lParam);
}

void ListBoxView::Draw(const DRAWITEMSTRUCT& item) const {
    HDC dc = item.hDC;
    RECT box = item.rcItem;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    const bool enabled = IsWindowEnabled(item.hwndItem) != FALSE;
    if (item.itemID != static_cast<UINT>(-1) && item.itemID < lines_.Count()) {
        FillRect(dc, &box, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        HGDIOBJ previous = SelectObject(
            dc, reinterpret_cast<HFONT>(SendMessageW(item.hwndItem, WM_GETFONT, 0, 0)));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(!enabled   ? COLOR_GRAYTEXT
                                     : selected ? COLOR_HIGHLIGHTTEXT
                                                : COLOR_WINDOWTEXT));
        const std::wstring text = RowText(lines_.View(item.itemID));
        RECT textBox = box;
        textBox.left += kTextIndent;
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textBox,
                  DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER | DT_LEFT | DT_EXPANDTABS | DT_NOCLIP);
        SelectObject(dc, previous);
    }
    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
        DrawFocusRect(dc, &box);
    }
}

void ListBoxView::BeforeInsert(std::size_t, std::size_t) {
    if (listBox_) {
        selection_ = static_cast<int>(SendMessageW(listBox_, LB_GETCURSEL, 0, 0));
        top_ = static_cast<int>(SendMessageW(listBox_, LB_GETTOPINDEX, 0, 0));
    }
}

void ListBoxView::AfterInsert() {
    // Lines are only ever added at the end: the rows shown stay where they are.
    Sync(selection_, top_);
}

void ListBoxView::BeforeRemove(std::size_t first, std::size_t count) {
    if (!listBox_) {
        return;
    }
    selection_ = static_cast<int>(SendMessageW(listBox_, LB_GETCURSEL, 0, 0));
    top_ = static_cast<int>(SendMessageW(listBox_, LB_GETTOPINDEX, 0, 0));
    const int begin = ToInt(first);
    const int end = ToInt(first + count);
    if (selection_ >= end) {
        selection_ -= end - begin;
    } else if (selection_ >= begin) {
        selection_ = -1;
    }
    if (top_ >= end) {
        top_ -= end - begin;
    } else if (top_ > begin) {
        top_ = begin;
    }
}

void ListBoxView::AfterRemove() {
    Sync(selection_, top_);
}

void ListBoxView::BeforeReset() {}

void ListBoxView::AfterReset() {
    Sync(-1, 0);
}

void ListBoxView::Sync(int selection, int top) {
    if (!listBox_) {
        return;
    }
    SendMessageW(listBox_, WM_SETREDRAW, FALSE, 0);
    const LRESULT set = SendMessageW(listBox_, LB_SETCOUNT, lines_.Count(), 0);
    if (set == LB_ERR || set == LB_ERRSPACE) {
        SendMessageW(listBox_, WM_SETREDRAW, TRUE, 0);
        throw std::runtime_error("the list box cannot hold " + std::to_string(lines_.Count()) +
                                 " lines");
    }
    if (selection >= 0) {
        SendMessageW(listBox_, LB_SETCURSEL, static_cast<WPARAM>(selection), 0);
    }
    SendMessageW(listBox_, LB_SETTOPINDEX, static_cast<WPARAM>(top), 0);
    SendMessageW(listBox_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(listBox_, nullptr, TRUE);
}

} // namespace quorvel::win32
