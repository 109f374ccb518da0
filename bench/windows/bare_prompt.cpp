// The least Win32 program that shows quorvel.exe's folder prompt: the same
// in-memory dialog template (the system's dialog class, its font, the text,
// the field, OK and Cancel at the same places), the same caption, text and
// answer offered, and nothing else before it. bench/startup-windows.sh times
// it against quorvel.exe, built once as it is and once with quorvel.exe's
// manifest.

#include "core/installer.h"

#include <windows.h>

namespace {

constexpr const wchar_t* kAnswer = L"C:\\Games\\MOHAA";

// The template, written by hand: a DLGTEMPLATEEX and four DLGITEMTEMPLATEEX.
struct Writer {
    WORD words[512] = {};
    int size = 0;

    void Word(WORD value) { words[size++] = value; }
    void Dword(DWORD value) {
        Word(LOWORD(value));
        Word(HIWORD(value));
    }
    void Text(const char* text) {
        while (*text) {
            Word(static_cast<WORD>(static_cast<unsigned char>(*text++)));
        }
        Word(0);
    }
    void Item(DWORD style, int left, int top, int width, int height, DWORD id, WORD atom,
              const char* text) {
        if (size % 2) {
            Word(0);
        }
        Dword(0);
        Dword(0);
        Dword(WS_CHILD | WS_VISIBLE | style);
        for (int value : {left, top, width, height}) {
            Word(static_cast<WORD>(value));
        }
        Dword(id);
        Word(0xFFFF);
        Word(atom);
        Text(text);
        Word(0);
    }
};

INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        SetWindowTextA(dialog, quorvel::kFolderPromptTitle);
        SetDlgItemTextA(dialog, 301, quorvel::kFolderPrompt);
        SetDlgItemTextW(dialog, 302, kAnswer);
        HWND edit = GetDlgItem(dialog, 302);
        SetFocus(edit);
        SendMessageW(edit, EM_SETSEL, 0, -1);
        SetForegroundWindow(dialog);
        return FALSE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    static Writer out;
    out.Word(1);
    out.Word(0xFFFF);
    out.Dword(0);
    out.Dword(WS_EX_APPWINDOW);
    out.Dword(DS_SHELLFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU);
    out.Word(4);
    for (int value : {0, 0, 260, 78}) {
        out.Word(static_cast<WORD>(value));
    }
    out.Word(0);
    out.Word(0);
    out.Text("");
    out.Word(8);
    out.Word(FW_NORMAL);
    out.Word(MAKEWORD(FALSE, DEFAULT_CHARSET));
    out.Text("MS Shell Dlg");
    out.Item(WS_GROUP | SS_LEFT | SS_NOPREFIX, 7, 7, 186, 40, 301, 0x0082, "");
    out.Item(WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 7, 57, 246, 14, 302, 0x0081, "");
    out.Item(WS_TABSTOP | BS_DEFPUSHBUTTON, 203, 7, 50, 14, IDOK, 0x0080, "OK");
    out.Item(WS_TABSTOP | BS_PUSHBUTTON, 203, 25, 50, 14, IDCANCEL, 0x0080, "Cancel");
    const INT_PTR result = DialogBoxIndirectParamW(
        instance, reinterpret_cast<LPCDLGTEMPLATEW>(out.words), nullptr, &Procedure, 0);
    return result == IDOK ? 0 : 1;
}
