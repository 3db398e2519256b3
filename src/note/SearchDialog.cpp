#include "note/SearchDialog.h"

#include <commctrl.h>

#include "note/NoteWindow.h"

namespace tav {

namespace {

namespace layout {
constexpr int kClientWidth = 600;
constexpr int kClientHeight = 290;
constexpr LayoutRect queryLabel{8, 11, 80, 16};
constexpr LayoutRect queryEdit{90, 8, 502, 22};
constexpr LayoutRect resultList{8, 38, 584, 208};
constexpr LayoutRect showNoteButton{8, 256, 100, 26};
constexpr LayoutRect closeButton{504, 256, 88, 26};
}  // namespace layout

// A long title would push its line to the next tab stop, past the list's
// right edge.
std::string columnTitle(const std::string& title) {
    constexpr std::size_t kMaxBytes = 26;
    if (title.size() <= kMaxBytes) return title;
    std::size_t end = kMaxBytes;
    while (end > 0 && (static_cast<unsigned char>(title[end]) & 0xC0) == 0x80) --end;
    return title.substr(0, end) + "…";
}

// The keys that page through the results work from the search field, so the
// user can type, pick a line and press Enter without leaving it.
LRESULT CALLBACK queryKeys(HWND edit, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                           DWORD_PTR list) {
    if (msg == WM_KEYDOWN &&
        (wParam == VK_UP || wParam == VK_DOWN || wParam == VK_PRIOR || wParam == VK_NEXT)) {
        SendMessageW(reinterpret_cast<HWND>(list), WM_KEYDOWN, wParam, lParam);
        return 0;
    }
    if (msg == WM_NCDESTROY) RemoveWindowSubclass(edit, &queryKeys, id);
    return DefSubclassProc(edit, msg, wParam, lParam);
}

}  // namespace

SearchDialog::SearchDialog(HWND owner, Notes notes, BringToFront bringToFront)
    : DialogForm(L"SearchDialog", "Notizen durchsuchen", layout::kClientWidth,
                 layout::kClientHeight),
      notes_(std::move(notes)),
      bringToFront_(std::move(bringToFront)) {
    createDialog(owner);
    queryLabel.create(*this, "&Suchen nach:", layout::queryLabel);
    queryEdit.create(*this, kQueryId, layout::queryEdit);
    resultList.create(*this, kListId, layout::resultList);
    resultList.setTabStops({100});
    SetWindowSubclass(queryEdit.handle(), &queryKeys, 1,
                      reinterpret_cast<DWORD_PTR>(resultList.handle()));
    showNoteButton.create(*this, "&Notiz zeigen", IDOK, layout::showNoteButton, true);
    closeButton.create(*this, "Schließen", IDCANCEL, layout::closeButton);
    showNoteButton.onClick = [this] { showNoteButtonClick(); };
    closeButton.onClick = [this] { dismiss(IDCANCEL); };
}

void SearchDialog::refreshKeptTexts(const std::vector<NoteWindow*>& notes) {
    // Versions are never shared between controls, so a note that took the
    // place of a deleted one cannot pass for it.
    std::vector<NoteWindow*> stale;
    for (NoteWindow* note : notes) {
        if (kept_[note].version != note->memo1.textVersion()) stale.push_back(note);
    }
    if (stale.empty()) return;
    FoldingThread folding;
    for (NoteWindow* note : stale) {
        note->memo1.utf16Text(folding.buffer());
        folding.fold(kept_[note].text);
    }
    folding.finish();
    for (NoteWindow* note : stale) kept_[note].version = note->memo1.textVersion();
}

void SearchDialog::search() {
    const std::vector<std::string> words = queryWords(queryEdit.text());
    resultList.clear();
    lines_.clear();
    const std::vector<NoteWindow*> notes = notes_();
    refreshKeptTexts(notes);
    std::map<const NoteWindow*, Kept> stillOpen;
    for (NoteWindow* note : notes) {
        const Kept& kept = kept_[note];
        const std::string title = note->title();
        const FoldedText foldedTitle(title);
        // The line shows the first word in the text where there is one.
        if (holdsEveryWord({&foldedTitle, &kept.text}, words)) {
            if (const auto inText = findAnyWord(kept.text, words)) {
                // Only the folded text is kept; the few bytes shown come from
                // the control, which counts UTF-16 units.
                const auto original = [&](std::size_t begin, std::size_t end) {
                    const std::string_view folded = kept.text.text();
                    const auto start = static_cast<long>(utf16Length(folded.substr(0, begin)));
                    return note->memo1.readRange(
                        start,
                        start + static_cast<long>(utf16Length(folded.substr(begin, end - begin))));
                };
                resultList.add(columnTitle(title) + "\t" + matchLine(kept.text, *inText, original));
                lines_.push_back({note->name(), note->handle(), true, *inText});
            } else {
                const auto original = [&](std::size_t begin, std::size_t end) {
                    return title.substr(begin, end - begin);
                };
                resultList.add(columnTitle(title) + "\t" +
                               matchLine(foldedTitle, *findAnyWord(foldedTitle, words), original));
                lines_.push_back({note->name(), note->handle(), false, {}});
            }
        }
        stillOpen.insert(kept_.extract(note));
    }
    // Deleted notes' texts go.
    kept_.swap(stillOpen);
    if (!lines_.empty()) resultList.setItemIndex(0);
}

void SearchDialog::showNoteButtonClick() {
    const int index = resultList.itemIndex();
    if (index < 0 || index >= static_cast<int>(lines_.size())) return;
    const Line& line = lines_[static_cast<std::size_t>(index)];
    // A note deleted since, its number perhaps taken anew, is not this one.
    for (NoteWindow* note : notes_()) {
        if (note->name() != line.noteName || note->handle() != line.window) continue;
        bringToFront_(*note);
        if (line.inText) note->selectText(line.match.offset, line.match.length);
        return;
    }
}

bool SearchDialog::onCommand(int id, int code, HWND control) {
    if (id == kQueryId && code == EN_CHANGE) {
        search();
        return true;
    }
    if (id == kListId && code == LBN_DBLCLK) {
        showNoteButtonClick();
        return true;
    }
    return DialogForm::onCommand(id, code, control);
}

void SearchDialog::onShow(bool shown) {
    DialogForm::onShow(shown);
    if (!shown) kept_.clear();
    if (shown) {
        search();
        queryEdit.setFocus();
        queryEdit.selectAll();
    }
}

}  // namespace tav
