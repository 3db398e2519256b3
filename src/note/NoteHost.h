#pragma once
// What a note window needs of the tray controller. TrayController implements it; the
// Windows tests implement it with a small double, so a note window can be
// created without the tray controller.

#include <windows.h>

#include <string>

namespace tav {

class SlotTable;
class NoteWindow;
class AlarmReminder;

class NoteHost {
public:
    virtual ~NoteHost() = default;

    // The window that owns every note (the tray controller's window).
    virtual HWND ownerWindow() const = 0;
    // The name the next note window takes at its creation ("Notiz3").
    virtual const std::string& currentNoteName() const = 0;
    virtual void setCurrentNoteName(const std::string& name) = 0;
    virtual SlotTable& slotTable() = 0;

    // Creates a note window owned by the tray controller; it takes the
    // current note name. The import uses it so that an imported note is
    // owned like every other note.
    virtual NoteWindow& createNoteWindow() = 0;
    // Raises the running note counter and returns the new value (written to
    // "Notizanzahl" by the caller).
    virtual int raiseNoteCounter() = 0;

    // The open note of this name; nullptr when there is none (deleted).
    virtual NoteWindow* findNote(const std::string& name) const = 0;

    virtual void newNote() = 0;       // the tray controller's new-note command
    virtual void showSettings() = 0;  // basic settings dialog, not modal
    // False while the program has no settings dialog: the note's menu item
    // is then greyed rather than silently dead.
    virtual bool settingsAvailable() const { return true; }
    virtual void showAbout() = 0;
    // "Notiz &unsichtbar": takes the note off the desktop into the list of
    // hidden notes, from which the user brings it back.
    virtual void hideNote(NoteWindow& note) = 0;
    // False while the program has no such list: the note's menu item is then
    // left out, since a note hidden without a list could not come back.
    virtual bool hidingAvailable() const { return true; }
    virtual void exitProgram() = 0;  // closes the tray controller
    // A note window asks to be destroyed once its handler has returned.
    virtual void releaseNote(NoteWindow* note) = 0;
    // The one reminder window that every ringing note shows; without one
    // (a host that has none) an alarm stays armed and waits.
    virtual AlarmReminder* reminder() { return nullptr; }
    // A note's alarm was set, moved or switched off, or the note went.
    virtual void alarmsChanged() {}
    // "Notizen durchsuchen ..."; offered where a search window is attached.
    virtual void showSearch() {}
    virtual bool searchAvailable() const { return false; }
    // What the search window was last asked for; F3 in a note finds it.
    virtual std::string searchQuery() const { return {}; }
};

}  // namespace tav
