#pragma once
// "unsichtbare Notizen ": the notes hidden during this run, one line each in
// the order of hiding, and the way to bring one back. A hidden note keeps
// running (clock, alarm); only its window is off the desktop. The list lives
// in memory; "uns.ini" records each hiding for whoever reads it, keyed by the
// note's title.

#include <windows.h>

#include <string>
#include <vector>

#include "forms/DialogForm.h"

namespace tav {

class NoteHost;
class NoteWindow;

class HiddenNotesDialog : public DialogForm {
public:
    // The host finds the open notes; its window owns the dialog.
    explicit HiddenNotesDialog(NoteHost& host);

    ListBox hiddenNotesList;
    Button showNoteButton;  // "Notiz sichtbar"
    Button okButton;

    // "Notiz &unsichtbar" of a note: hides it and lists it.
    void hideNote(NoteWindow& note);
    void showNoteButtonClick();  // shows the note of the selected line
    // Shows a hidden note, as its line does.
    void showNote(NoteWindow& note);
    void okButtonClick();  // closes

private:
    // Each line knows its own note, so two notes with the same title each
    // come back from their own line, and a note deleted since (its number
    // perhaps taken by a new note) is not mistaken for another.
    struct Line {
        std::string noteName;
        HWND window;
    };
    std::vector<Line> lines_;
    NoteHost& host_;
};

}  // namespace tav
