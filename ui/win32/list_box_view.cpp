#include "ui/win32/list_box_view.h"

#include "ui/win32/message_loop.h"
#include "ui/win32/wide_text.h"

#include <algorithm>
#include <climits>
#include <commctrl.h>
#include <stdexcept>
#include <string>

namespace quorvel::win32 {
namespace {

int ToInt(std::size_t value) {
    return value > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(value);
}

} // namespace

const wchar_t* ListBoxView::ClassName() {
    return WC_LISTVIEWW;
}

DWORD ListBoxView::Style(bool visible) {
    // One selected row at most, shown also while the list has no focus, as a
    // list box shows it.
    return WS_CHILD | (visible ? WS_VISIBLE | WS_TABSTOP : 0) | LVS_REPORT | LVS_OWNERDATA |
           LVS_NOCOLUMNHEADER | LVS_SINGLESEL | LVS_SHOWSELALWAYS;
}

void ListBoxView::Attach(HWND listView) {
    if (listView_) {
        RemoveWindowSubclass(listView_, &ListBoxView::Subclass, 0);
    }
    listView_ = listView;
    if (listView_) {
        SendMessageW(listView_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT,
                     LVS_EX_FULLROWSELECT);
        LVCOLUMNW column{};
        column.mask = LVCF_WIDTH;
        if (SendMessageW(listView_, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column)) ==
            -1) {
            NoteWindowFailure(WithLastError("the list cannot take its column"));
        }
        SetWindowSubclass(listView_, &ListBoxView::Subclass, 0, reinterpret_cast<DWORD_PTR>(this));
        FitColumn();
    }
    Sync(-1, 0);
}

LRESULT CALLBACK ListBoxView::Subclass(HWND listView, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR, DWORD_PTR self) {
    auto& view = *reinterpret_cast<ListBoxView*>(self);
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(listView, &ListBoxView::Subclass, 0);
        view.listView_ = nullptr;
    }
    const LRESULT result = DefSubclassProc(listView, message, wParam, lParam);
    // A new size, a new font or a scroll bar that comes or goes.
    if (message == WM_SIZE && view.listView_) {
        view.FitColumn();
    }
    return result;
}

std::optional<LRESULT> ListBoxView::Notify(NMHDR& header) const {
    if (!listView_ || header.hwndFrom != listView_) {
        return std::nullopt;
    }
    if (header.code == LVN_ODFINDITEMW) {
        return -1;
    }
    if (header.code == LVN_GETDISPINFOW) {
        LVITEMW& item = reinterpret_cast<NMLVDISPINFOW&>(header).item;
        if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
            std::wstring text;
            if (item.iItem >= 0 && static_cast<std::size_t>(item.iItem) < lines_.Count()) {
                text = RowText(lines_.View(static_cast<std::size_t>(item.iItem)));
            }
            // Cut to the list view's buffer, which for drawing holds a few
            // hundred characters: more than a row shows.
            const std::size_t length =
                std::min(text.size(), static_cast<std::size_t>(item.cchTextMax - 1));
            text.copy(item.pszText, length);
            item.pszText[length] = L'\0';
        }
    }
    return 0;
}

void ListBoxView::Remember() {
    if (listView_) {
        selection_ = static_cast<int>(
            SendMessageW(listView_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
        top_ = static_cast<int>(SendMessageW(listView_, LVM_GETTOPINDEX, 0, 0));
    }
}

void ListBoxView::BeforeInsert(std::size_t, std::size_t) {
    Remember();
}

void ListBoxView::AfterInsert() {
    // Lines are only ever added at the end: the rows shown stay where they are.
    Sync(selection_, top_);
}

void ListBoxView::BeforeRemove(std::size_t first, std::size_t count) {
    if (!listView_) {
        return;
    }
    Remember();
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
    if (!listView_) {
        return;
    }
    SendMessageW(listView_, WM_SETREDRAW, FALSE, 0);
    // The selection is set again below: none is kept from before.
    LVITEMW none{};
    none.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(listView_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(&none));
    if (!SendMessageW(listView_, LVM_SETITEMCOUNT, lines_.Count(), LVSICF_NOSCROLL)) {
        SendMessageW(listView_, WM_SETREDRAW, TRUE, 0);
        NoteWindowFailure(
            WithLastError("the list cannot hold " + std::to_string(lines_.Count()) + " lines"));
        return;
    }
    if (selection >= 0 && static_cast<std::size_t>(selection) < lines_.Count()) {
        LVITEMW selected{};
        selected.state = LVIS_SELECTED | LVIS_FOCUSED;
        selected.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(listView_, LVM_SETITEMSTATE, static_cast<WPARAM>(selection),
                     reinterpret_cast<LPARAM>(&selected));
    }
    ScrollTo(top);
    SendMessageW(listView_, WM_SETREDRAW, TRUE, 0);
    FitColumn();
    InvalidateRect(listView_, nullptr, TRUE);
}

void ListBoxView::ScrollTo(int top) {
    const int shown = static_cast<int>(SendMessageW(listView_, LVM_GETTOPINDEX, 0, 0));
    RECT row{};
    row.left = LVIR_BOUNDS;
    if (lines_.Count() == 0 || top == shown ||
        !SendMessageW(listView_, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row))) {
        return;
    }
    // In pixels; the list view scrolls by whole rows.
    SendMessageW(listView_, LVM_SCROLL, 0, (top - shown) * (row.bottom - row.top));
}

void ListBoxView::FitColumn() {
    RECT client{};
    GetClientRect(listView_, &client);
    const int width = client.right - client.left;
    if (static_cast<int>(SendMessageW(listView_, LVM_GETCOLUMNWIDTH, 0, 0)) != width) {
        SendMessageW(listView_, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(width, 0));
    }
}

} // namespace quorvel::win32
