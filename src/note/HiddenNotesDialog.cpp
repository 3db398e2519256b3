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
constexpr LayoutRect ListBox1{8, 8, 347, 188};
constexpr LayoutRect BitBtn1{8, 206, 112, 26};
constexpr LayoutRect BitBtn2{267, 206, 88, 26};
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
    ListBox1.create(*this, kListId, layout::ListBox1);
    BitBtn1.create(*this, "Notiz sichtbar", kShowNoteId, layout::BitBtn1);
    BitBtn2.create(*this, "OK", IDOK, layout::BitBtn2, true);
    BitBtn1.onClick = [this] { BitBtn1Click(); };
    BitBtn2.onClick = [this] { BitBtn2Click(); };
}

void HiddenNotesDialog::hideNote(NoteWindow& note) {
    IniFile uns(unsIniPath());
    note.hide();
    const std::string title = note.titleLine.text();
    ListBox1.add(title);
    lines_.push_back({note.name(), note.handle()});
    HiddenNotesRecord::setHidden(uns, title, note.name());
    uns.close();
}

// Nothing selected, or the note is gone: there is nothing to bring back, and
// nothing to tell the user either.
void HiddenNotesDialog::BitBtn1Click() {
    const int index = ListBox1.itemIndex();
    if (index < 0 || index >= static_cast<int>(lines_.size())) return;
    const Line& line = lines_[static_cast<size_t>(index)];
    NoteWindow* note = host_.findNote(line.noteName);
    if (note == nullptr || note->handle() != line.window) return;

    IniFile uns(unsIniPath());
    note->show();
    HiddenNotesRecord::setShownAgain(uns, ListBox1.item(index));
    uns.close();
}

void HiddenNotesDialog::BitBtn2Click() { hide(); }

}  // namespace tav
