#include "alarm/AlarmEditor.h"

#include <commctrl.h>

#include <stdexcept>
#include <vector>

#include "alarm/AlarmLayout.h"
#include "forms/Form.h"
#include "desktop/LocalTime.h"

namespace tav {

namespace {

using namespace alarm_layout;

// A dialog without items: the controls are made in pixels when it opens,
// from the figures of AlarmLayout.h.
std::vector<WORD> emptyDialogTemplate(const wchar_t* caption) {
    std::vector<WORD> t;
    const auto dword = [&t](DWORD d) {
        t.push_back(LOWORD(d));
        t.push_back(HIWORD(d));
    };
    const auto text = [&t](const wchar_t* s) {
        while (*s) t.push_back(*s++);
        t.push_back(0);
    };
    // A dialog frame with only the system menu's close box.
    dword(DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU);
    dword(0);
    for (int i = 0; i < 5; ++i) t.push_back(0);  // no items; place and size come later
    t.push_back(0);                              // no menu
    t.push_back(0);                              // the standard dialog class
    text(caption);
    t.push_back(8);
    text(L"MS Shell Dlg");
    return t;
}

void setPicker(HWND dialog, int id, const SYSTEMTIME& value) {
    SYSTEMTIME copy = value;
    SendDlgItemMessageW(dialog, id, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&copy));
}

SYSTEMTIME picker(HWND dialog, int id) {
    SYSTEMTIME value{};
    SendDlgItemMessageW(dialog, id, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&value));
    return value;
}

void buildEditor(HWND dialog, const AlarmEditorValues& values) {
    const auto font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    // Tab order is the order made.
    makeControl(dialog, L"STATIC", L"", SS_ETCHEDFRAME, AlarmEditor::kBevelId, kEditorBevel, font);
    makeControl(dialog, L"BUTTON", L"&Alarm aktiv", BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP,
                AlarmEditor::kActiveId, kEditorActive, font);
    makeControl(dialog, DATETIMEPICK_CLASSW, L"", DTS_SHORTDATEFORMAT | WS_TABSTOP,
                AlarmEditor::kDateId, kEditorDate, font);
    makeControl(dialog, DATETIMEPICK_CLASSW, L"", DTS_TIMEFORMAT | DTS_UPDOWN | WS_TABSTOP,
                AlarmEditor::kTimeId, kEditorTime, font);
    makeControl(dialog, L"BUTTON", L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, IDOK, kEditorOk,
                font);
    makeControl(dialog, L"BUTTON", L"Abbrechen", BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL,
                kEditorCancel, font);

    CheckDlgButton(dialog, AlarmEditor::kActiveId, values.alarmSet ? BST_CHECKED : BST_UNCHECKED);
    setPicker(dialog, AlarmEditor::kDateId, systemTimeOf({values.date, {12, 0, 0}, 0}));
    setPicker(dialog, AlarmEditor::kTimeId, systemTimeOf({values.date, values.time, 0}));

    centreDialog(dialog, kEditorClient);
}

void readEditor(HWND dialog, AlarmEditorValues& values) {
    const DateTime date = dateTimeOf(picker(dialog, AlarmEditor::kDateId));
    const DateTime time = dateTimeOf(picker(dialog, AlarmEditor::kTimeId));
    values.date = date.date;
    values.time = time.time;
    values.alarmSet = IsDlgButtonChecked(dialog, AlarmEditor::kActiveId) == BST_CHECKED;
}

INT_PTR CALLBACK editorProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    INT_PTR result = FALSE;
    guarded(dialog, [&] {
        switch (msg) {
            case WM_INITDIALOG:
                SetWindowLongPtrW(dialog, DWLP_USER, lParam);
                buildEditor(dialog, *reinterpret_cast<AlarmEditorValues*>(lParam));
                // The controls came after the dialog chose its focus.
                SendMessageW(dialog, DM_SETDEFID, IDOK, 0);
                SetFocus(GetDlgItem(dialog, AlarmEditor::kActiveId));
                result = FALSE;
                break;
            case WM_COMMAND:
                if (LOWORD(wParam) == IDOK) {
                    auto* values =
                        reinterpret_cast<AlarmEditorValues*>(GetWindowLongPtrW(dialog, DWLP_USER));
                    readEditor(dialog, *values);
                    EndDialog(dialog, IDOK);
                    result = TRUE;
                } else if (LOWORD(wParam) == IDCANCEL) {
                    EndDialog(dialog, IDCANCEL);
                    result = TRUE;
                }
                break;
            default:
                break;
        }
    });
    return result;
}

}  // namespace

bool AlarmEditor::execute(HWND owner, AlarmEditorValues& values) {
    static const bool registered = [] {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_DATE_CLASSES};
        return InitCommonControlsEx(&controls) != FALSE;
    }();
    (void)registered;
    const std::vector<WORD> dialog = emptyDialogTemplate(L"Alarm-Dialog");
    // The dialog works on a copy: "Abbrechen" leaves the caller's values alone.
    AlarmEditorValues chosen = values;
    const INT_PTR result = DialogBoxIndirectParamW(
        GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(dialog.data()), owner,
        &editorProc, reinterpret_cast<LPARAM>(&chosen));
    if (result == -1) throw std::runtime_error("Der Alarm-Dialog konnte nicht angezeigt werden.");
    if (result != IDOK) return false;
    values = chosen;
    return true;
}

}  // namespace tav
