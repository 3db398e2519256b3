#include "note/SearchDialog.h"

#include "note/NoteWindow.h"

namespace tav {

namespace {

namespace layout {
constexpr int kClientWidth = 480;
constexpr int kClientHeight = 290;
constexpr LayoutRect queryLabel{8, 11, 80, 16};
constexpr LayoutRect queryEdit{90, 8, 382, 22};
constexpr LayoutRect resultList{8, 38, 464, 208};
constexpr LayoutRect showNoteButton{8, 256, 100, 26};
constexpr LayoutRect closeButton{384, 256, 88, 26};
}  // namespace layout

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
    showNoteButton.create(*this, "&Notiz zeigen", IDOK, layout::showNoteButton, true);
    closeButton.create(*this, "Schließen", IDCANCEL, layout::closeButton);
    showNoteButton.onClick = [this] { showNoteButtonClick(); };
    closeButton.onClick = [this] { dismiss(IDCANCEL); };
}

void SearchDialog::search() {
    const std::string query = queryEdit.text();
    resultList.clear();
    lines_.clear();
    for (NoteWindow* note : notes_()) {
        const std::string title = note->title();
        const std::string text = note->memo1.text();
        // The title and the text together hold the words; the line shows
        // the first of them in the text where there is one.
        if (!findWords(title + "\r" + text, query)) continue;
        if (const auto inText = findAnyWord(text, query)) {
            resultList.add(title + "\t" + matchLine(text, *inText));
            lines_.push_back({note->name(), note->handle(), true, *inText});
        } else {
            resultList.add(title + "\t" + matchLine(title, *findAnyWord(title, query)));
            lines_.push_back({note->name(), note->handle(), false, {}});
        }
    }
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
    if (shown) {
        search();
        queryEdit.setFocus();
        queryEdit.selectAll();
    }
}

}  // namespace tav
