#pragma once
// "Notizen durchsuchen": as the user types, every note whose title or text
// holds all the words, hidden notes too, one line each with the title and
// the line around the match. From a line the note comes to the front with
// the match selected.

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "forms/DialogForm.h"
#include "store/TextSearch.h"

namespace tav {

class NoteWindow;

class SearchDialog : public DialogForm {
public:
    using Notes = std::function<std::vector<NoteWindow*>()>;
    using BringToFront = std::function<void(NoteWindow&)>;

    static constexpr int kQueryId = 101;
    static constexpr int kListId = 102;

    SearchDialog(HWND owner, Notes notes, BringToFront bringToFront);

    StaticText queryLabel;
    Edit queryEdit;
    ListBox resultList;
    Button showNoteButton;  // "&Notiz zeigen", the default: Enter shows the note
    Button closeButton;     // "Schließen"

    // Lists the notes that match the query as it is now.
    void search();
    void showNoteButtonClick();

protected:
    bool onCommand(int id, int code, HWND control) override;
    void onShow(bool shown) override;

private:
    struct Line {
        std::string noteName;
        HWND window;
        bool inText;  // else the match is in the title
        TextMatch match;
    };
    // Each note's text as last fetched, folded once, while the window is
    // open: typing looks up words, it does not fetch and fold 50 texts.
    struct Kept {
        unsigned long long version = 0;
        FoldedText text;
    };
    void refreshKeptTexts(const std::vector<NoteWindow*>& notes);
    std::vector<Line> lines_;
    std::map<const NoteWindow*, Kept> kept_;
    Notes notes_;
    BringToFront bringToFront_;
};

}  // namespace tav
