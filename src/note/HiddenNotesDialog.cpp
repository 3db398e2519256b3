#include "note/HiddenNotesDialog.h"

#include "note/NoteHost.h"
#include "note/NoteWindow.h"
#include "store/IniFile.h"
#include "store/NoteStore.h"

namespace tav {

namespace {

// The whole layout at 96 dots per inch.
namespace layout {
constexpr int kClientWidth = 363;
constexpr int kClientHeight = 240;
constexpr LayoutRect hiddenNotesList{8, 8, 347, 188};
constexpr LayoutRect showNoteButton{8, 206, 112, 26};
constexpr LayoutRect okButton{267, 206, 88, 26};
}  // namespace layout

constexpr int kListId = 101;
constexpr int kShowNoteId = 102;

}  // namespace

HiddenNotesDialog::HiddenNotesDialog(NoteHost& host)
    : DialogForm(L"HiddenNotesDialog", "unsichtbare Notizen ", layout::kClientWidth,
                 layout::kClientHeight),
      host_(host) {
    setName("Form4");
    createDialog(host.ownerWindow());
    hiddenNotesList.create(*this, kListId, layout::hiddenNotesList);
    showNoteButton.create(*this, "Notiz sichtbar", kShowNoteId, layout::showNoteButton);
    okButton.create(*this, "OK", IDOK, layout::okButton, true);
    showNoteButton.onClick = [this] { showNoteButtonClick(); };
    okButton.onClick = [this] { okButtonClick(); };
}

void HiddenNotesDialog::hideNote(NoteWindow& note) {
    IniFile uns(unsIniPath());
    note.hide();
    const std::string title = note.titleLine.text();
    hiddenNotesList.add(title);
    lines_.push_back({note.name(), note.handle()});
    HiddenNotesRecord::setHidden(uns, title, note.name());
    uns.close();
}

// Nothing selected, or the note is gone: there is nothing to bring back, and
// nothing to tell the user either.
void HiddenNotesDialog::showNoteButtonClick() {
    const int index = hiddenNotesList.itemIndex();
    if (index < 0 || index >= static_cast<int>(lines_.size())) return;
    const Line& line = lines_[static_cast<size_t>(index)];
    NoteWindow* note = host_.findNote(line.noteName);
    if (note == nullptr || note->handle() != line.window) return;

    IniFile uns(unsIniPath());
    note->show();
    HiddenNotesRecord::setShownAgain(uns, hiddenNotesList.item(index));
    uns.close();
}

void HiddenNotesDialog::showNote(NoteWindow& note) {
    IniFile uns(unsIniPath());
    note.show();
    // The last hiding of it is the one the file now says is over.
    for (int i = static_cast<int>(lines_.size()) - 1; i >= 0; --i) {
        if (lines_[static_cast<std::size_t>(i)].window == note.handle()) {
            HiddenNotesRecord::setShownAgain(uns, hiddenNotesList.item(i));
            break;
        }
    }
    uns.close();
}

void HiddenNotesDialog::okButtonClick() { hide(); }

}  // namespace tav
