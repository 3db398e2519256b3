// The note window's controls, menus and tool bars, and how they share the
// client area.

#include <algorithm>

#include "forms/LinkFollow.h"
#include "note/NoteHost.h"
#include "note/NoteWindow.h"
#include "resource.h"
#include "store/NoteStore.h"
#include "store/ShortcutText.h"
#include "toolbar_images.h"

namespace tav {

namespace {

// What a print job of a note is called in the print queue.
constexpr char kPrintTitle[] = "Editor-Text";
constexpr int kMemoId = 1;
constexpr int kClockId = 2;
constexpr int kBarHeight = 29;
constexpr int kButtonSize = 21;
constexpr int kSmallButtonHeight = 13;
// Over the left end of the title line and exactly as high: the bar draws no
// edge above its buttons, so they start at its top edge.
constexpr LayoutRect kSmallBarBounds{2, 0, 35, kNoteTitleHeight};

constexpr int ctrl(char key) { return kCtrl + key; }

void item(MenuItem& m, const char* caption, int shortcut = 0) {
    m.caption = caption;
    m.shortcut = shortcut;
}

void button(SpeedButton& b, int picture, const char* hint, std::function<void()> onClick) {
    b.setPictureResource(IDB_NOTE_TOOLBAR, picture);
    b.setHint(hint);
    b.onClick = std::move(onClick);
}

}  // namespace

void NoteWindow::buildControls() {
    buildTitleBar();
    buildEditBar();
    buildViewBar();
    RxClock1.onAlarm = [this](const DateTime& previous, const DateTime& now) {
        ringAlarm(previous, now);
    };
    RxClock1.setColor(color());
    RxClock1.setVisible(true);

    // The controls are made where the layout puts them: moved there
    // afterwards, each would arrange its buttons or text once more.
    built_ = true;
    layout();
    viewBar.create(*this);
    RxClock1.create(*this, kClockId);
    memo1.setColor(kYellow);
    memo1.setReadOnly(true);
    memo1.setScrollBars(ScrollBars::Both);
    memo1.setAutoUrlDetect(true);
    memo1.create(*this, kMemoId);
    memo1.setDefaultFont("Arial", 10);
    memo1.onKeyDown = [this](UINT vk) { return memoKeyDown(vk); };
    memo1.onContextMenu = [this](POINT screen) { memoMenu().popup(handle(), screen); };
    memo1.onSelectionChange = [this] { showParagraphFormat(); };
    memo1.onLinkClick = [this](const std::string& link, const std::string& shown) {
        followLink(handle(), link, shown);
    };
    // Where the view bar's buttons wrap only the made bar can tell.
    laidOut_ = {};
    layout();

    buildViewMenu();
    buildEditMenu();
    initTextCommands();
}

void NoteWindow::buildTitleBar() {
    titleLine.create(*this);
    titleLine.setFont({.name = "MS Sans Serif", .sizePoints = 8, .bold = true});
    titleLine.setAlignment(Alignment::Right);
    titleLine.setColor(kTitleViewColor);
    titleLine.setText(std::string(kDefaultNoteTitle) + "  ");
    titleLine.showHint = true;

    titleButtons.setBounds(kSmallBarBounds);
    titleButtons.setButtonSize(17, kSmallButtonHeight);
    titleButtons.setFont({.name = "Marlett", .sizePoints = 8});
    titleButtons.setColor(kTitleViewColor);
    titleDeleteButton.setWidth(17);
    titleDeleteButton.setCaption("r");
    titleDeleteButton.setHint("Diese Notiz löschen");
    titleDeleteButton.onClick = [this] { deleteNoteWithConfirmation(); };
    rollUpButton.setWidth(14);
    rollUpButton.setCaption("0");
    rollUpButton.setHint("Notiz minimieren");
    rollUpButton.onClick = [this] { toggleRollUp(); };
    titleButtons.add(titleDeleteButton);
    titleButtons.add(rollUpButton);
    titleButtons.create(*this);
}

void NoteWindow::buildViewBar() {
    viewBar.setButtonSize(kButtonSize, kButtonSize);
    viewBar.setWrapable(true);
    button(newNoteButton, IMG_NEW, "eine neue Notiz erstellen", [this] { host_.newNote(); });
    button(editButton, IMG_EDIT,
           "Notiz bearbeiten:Hiermit können Sie den Text \r\nIhrer Notiz bearbeiten",
           [this] { enterEditMode(); });
    button(alarmButton, IMG_ALARM,
           "Alarm für Notiz: Hier können Sie eine\r\nAlarmzeit für die Notiz definieren, um "
           "sich \r\nz.B. an einen Termin erinnern zu lassen.",
           [this] { editAlarm(); });
    button(deleteButton, IMG_DELETE, "Notiz löschen:entfernt die \r\naktuelle Notiz",
           [this] { deleteNoteWithConfirmation(); });
    button(printButton, IMG_PRINT,
           "Notiz drucken: Druckt den Notiz-Text auf dem Standard-Drucker aus.",
           [this] { memo1.print(handle(), kPrintTitle); });
    button(copyButton, IMG_COPY,
           "Text kopieren:hiermit wird der \r\nmarkierte Text in die Zwischenablage kopiert.",
           [this] { memo1.copyToClipboard(); });
    button(barsOffButton, IMG_BARS_OFF, "Menüleiste ausschalten: Deaktiviert diese Buttons",
           [this] { toggleButtonBars(); });
    button(exitButton, IMG_EXIT,
           "Tavelin beenden:beendet Tavelin komplett.\r\nDie Notizen stehen erst wieder zur "
           "Verfügung, wenn Tavelin\r\nwieder gestartet wird.",
           [this] { host_.exitProgram(); });
    for (SpeedButton* b : {&newNoteButton, &editButton, &alarmButton, &deleteButton, &printButton,
                           &copyButton, &barsOffButton, &exitButton})
        viewBar.add(*b);
}

void NoteWindow::buildEditBar() {
    editBar.setButtonSize(kButtonSize, kButtonSize);
    editBar.setVisible(false);
    editBar.setWrapable(true);
    editBar.createWhenShown(*this);
    button(saveButton, IMG_SAVE, "Notiz speichern:Sichert den Notiz-Text\r\ndauerhaft.",
           [this] { saveAndEnterViewMode(); });
    button(editDeleteButton, IMG_DELETE, "Notiz löschen:entfernt die \r\naktuelle Notiz",
           [this] { deleteNoteWithConfirmation(); });
    button(editAlarmButton, IMG_ALARM,
           "Alarm für Notiz: Hier können Sie eine\r\nAlarmzeit für die Notiz definieren, um "
           "sich \r\nz.B. an einen Termin erinnern zu lassen.",
           [this] { editAlarm(); });
    button(editCopyButton, IMG_COPY,
           "Text kopieren:hiermit wird der \r\nmarkierte Text in die Zwischenablage kopiert.",
           [this] { memo1.copyToClipboard(); });
    button(cutButton, IMG_CUT,
           "Text ausschneiden:Kopiert den markierten Text\r\nin die Zwischenablage in löscht "
           "anschließend diesen Text \r\naus der Notiz",
           [this] { memo1.cutToClipboard(); });
    button(pasteButton, IMG_PASTE,
           "Text einfügen:Fügt den Text aus der\r\nZwischenablage ein, der vorher kopiert wurde.",
           [this] { memo1.pasteFromClipboard(); });
    button(objectButton, IMG_OBJECT,
           "OLE-Objekt einfügen, dies kann\r\nein Bild, eine WAV-Datei oder eine\r\nExcel-Datei "
           "sein.",
           [this] { memo1.insertObject(handle()); });
    button(fontButton, IMG_FONT,
           "Schriftart einstellen: Hiermit ändern\r\nSie Schriftart, Größe und -Farbe",
           [this] { editFont(); });
    button(bulletButton, IMG_BULLETS, "Aufzählung: Formatiert Absatz als\r\nAufzählung (Punkte)",
           [this] { toggleBullets(); });
    button(alignLeftButton, IMG_ALIGN_LEFT, "Text linksbündig anzeigen",
           [this] { memo1.setAlignment(ParaAlignment::Left); });
    button(alignCenterButton, IMG_ALIGN_CENTER, "Text zentriert anzeigen",
           [this] { memo1.setAlignment(ParaAlignment::Center); });
    button(alignRightButton, IMG_ALIGN_RIGHT, "Text rechtsbündig anzeigen",
           [this] { memo1.setAlignment(ParaAlignment::Right); });
    button(noteColourButton, IMG_NOTE_COLOR,
           "Notizfarbe: Hiermit stellen \r\nSie die Hintergrundfarbe der\r\nNotiz ein.",
           [this] { editNoteColour(); });
    button(highlightButton, IMG_HIGHLIGHT,
           "Schrifthintergrund:Formatieren Sie hiermit\r\nden Hintergrund für einen "
           "Textabschnitt, wie mit\r\neinem Textmarker",
           [this] { editHighlight(); });
    // Bullets toggle on their own; of the three alignments one is always down.
    bulletButton.setGroupIndex(1);
    bulletButton.setAllowAllUp(true);
    for (SpeedButton* b : {&alignLeftButton, &alignCenterButton, &alignRightButton})
        b->setGroupIndex(2);
    alignLeftButton.setDown(true);
    for (SpeedButton* b :
         {&saveButton, &editDeleteButton, &editAlarmButton, &editCopyButton, &cutButton,
          &pasteButton, &objectButton, &fontButton, &bulletButton, &alignLeftButton,
          &alignCenterButton, &alignRightButton, &noteColourButton, &highlightButton})
        editBar.add(*b);
}

void NoteWindow::buildViewMenu() {
    item(propertiesItem, "Notiz-Eigenschaften");
    item(titleItem, "Notiz-Titel", ctrl('T'));
    item(alarmItem, "Alarm für diese Notiz", ctrl('E'));
    item(clockItem, "Uhr sichtbar");
    item(wordWrapItem, "Zeilenumbruch", ctrl('Z'));
    item(stayOnTopItem, "Notiz immer sichtbar");
    item(buttonBarsItem, "Menüleiste sichtbar");
    item(titleLineItem, "Titelleiste sichtbar");
    item(noteColourItem, "Notiz-&Farbe...", ctrl('N'));
    item(hideItem, "Notiz &unsichtbar");
    item(editItem, "&Notiz bearbeiten", ctrl('B'));
    item(printItem, "Notiz drucken", ctrl('D'));
    item(deleteItem, "&Notiz löschen", ctrl('L'));
    item(textItem, "Text");
    item(selectAllItem, "alles markieren", ctrl('A'));
    item(copyItem, "kopieren");
    item(newNoteItem, "n&eue Notiz erstellen");
    item(searchItem, "Notizen durchsuchen ...", ctrl('F'));
    item(importSeparator, "-");
    item(importExportItem, "Import/Export");
    item(exportItem, "Notiz exportieren");
    item(importItem, "Notiz importieren");
    item(settingsItem, "Grundeinstellungen...");
    item(aboutItem, "&Info über das Programm...", ctrl('I'));
    item(exitSeparator, "-");
    item(exitItem, "Tavelin b&eenden");

    clockItem.checked = buttonBarsItem.checked = titleLineItem.checked = true;
    wordWrapItem.hint = "Zeilenumbruch an/ausschalten ";
    stayOnTopItem.hint = "Wenn die Notiz immer im Vordergrund sichtbar sein soll, hier klicken!";
    buttonBarsItem.hint = "Buttonleiste ein/ausschalten";
    noteColourItem.hint = "Hintergrundfarbe für die Notiz";

    titleItem.onClick = [this] { askForTitle(); };
    alarmItem.onClick = [this] { editAlarm(); };
    clockItem.onClick = [this] { toggleClock(); };
    wordWrapItem.onClick = [this] { toggleWordWrap(); };
    stayOnTopItem.onClick = [this] { toggleStayOnTop(); };
    buttonBarsItem.onClick = [this] { toggleButtonBars(); };
    titleLineItem.onClick = [this] { toggleTitleLine(); };
    noteColourItem.onClick = [this] { editNoteColour(); };
    hideItem.onClick = [this] { hideIntoList(); };
    hideItem.visible = host_.hidingAvailable();
    editItem.onClick = [this] { enterEditMode(); };
    printItem.onClick = [this] { memo1.print(handle(), kPrintTitle); };
    deleteItem.onClick = [this] { deleteNoteWithConfirmation(); };
    selectAllItem.onClick = [this] { memo1.selectAll(); };
    copyItem.onClick = [this] { memo1.copyToClipboard(); };
    newNoteItem.onClick = [this] { host_.newNote(); };
    searchItem.onClick = [this] { host_.showSearch(); };
    searchItem.visible = host_.searchAvailable();
    exportItem.onClick = [this] { exportNote(); };
    importItem.onClick = [this] { importNote(); };
    settingsItem.onClick = [this] { host_.showSettings(); };
    // The dialogs are attached before the first note window is made.
    settingsItem.enabled = host_.settingsAvailable();
    aboutItem.onClick = [this] { host_.showAbout(); };
    exitItem.onClick = [this] { host_.exitProgram(); };

    propertiesItem.add(titleItem)
        .add(alarmItem)
        .add(clockItem)
        .add(wordWrapItem)
        .add(stayOnTopItem)
        .add(buttonBarsItem)
        .add(titleLineItem)
        .add(noteColourItem);
    textItem.add(selectAllItem).add(copyItem);
    importExportItem.add(exportItem).add(importItem);
    viewMenu.add(propertiesItem)
        .add(hideItem)
        .add(editItem)
        .add(printItem)
        .add(deleteItem)
        .add(textItem)
        .add(newNoteItem)
        .add(searchItem)
        .add(importSeparator)
        .add(importExportItem)
        .add(settingsItem)
        .add(aboutItem)
        .add(exitSeparator)
        .add(exitItem);
}

void NoteWindow::buildEditMenu() {
    item(showEditBarItem, "Edit-Buttonleiste aktivieren");
    item(textActionsItem, "Textaktionen");
    item(saveItem, "&Text speichern", ctrl('S'));
    item(editCopyItem, "kopieren");
    item(cutItem, "ausschneiden");
    item(pasteItem, "einfügen");
    item(pasteTextItem, "Text");
    item(pasteObjectItem, "Objekt", ctrl('O'));
    item(editSelectAllItem, "alles markieren");
    item(undoSeparator, "-");
    item(undoItem, "rückgängig");
    item(formatItem, "Formatoptionen");
    item(fontItem, "&Schriftart und -größe...", ctrl('F'));
    item(highlightItem, "Schrifthintergrund", ctrl('H'));
    item(editNoteColourItem, "Notiz-Farbe", ctrl('N'));
    item(editWordWrapItem, "Zeilenumbruch");
    item(editDeleteItem, "Notiz löschen", ctrl('L'));

    showEditBarItem.visible = false;

    showEditBarItem.onClick = [this] { showEditBar(); };
    saveItem.onClick = [this] { saveAndEnterViewMode(); };
    editCopyItem.onClick = [this] { memo1.copyToClipboard(); };
    cutItem.onClick = [this] { memo1.cutToClipboard(); };
    pasteTextItem.onClick = [this] { memo1.pasteFromClipboard(); };
    pasteObjectItem.onClick = [this] { memo1.insertObject(handle()); };
    editSelectAllItem.onClick = [this] { memo1.selectAll(); };
    undoItem.onClick = [this] { memo1.undo(); };
    fontItem.onClick = [this] { editFont(); };
    highlightItem.onClick = [this] { editHighlight(); };
    editNoteColourItem.onClick = [this] { editNoteColour(); };
    editWordWrapItem.onClick = [this] { toggleWordWrap(); };
    editDeleteItem.onClick = [this] { deleteNoteWithConfirmation(); };

    pasteItem.add(pasteTextItem).add(pasteObjectItem);
    textActionsItem.add(saveItem)
        .add(editCopyItem)
        .add(cutItem)
        .add(pasteItem)
        .add(editSelectAllItem)
        .add(undoSeparator)
        .add(undoItem);
    formatItem.add(fontItem).add(highlightItem).add(editNoteColourItem).add(editWordWrapItem);
    editMenu.add(showEditBarItem).add(textActionsItem).add(formatItem).add(editDeleteItem);
}

// Top to bottom: title line, edit bar, view bar, text; the clock at the
// bottom. The small bar sits over the left end of the title line.
void NoteWindow::layout() {
    if (!built_) return;
    const int width = clientWidth();
    const int height = clientHeight();
    // Every stored switch and tick asks for a layout; moving the controls
    // to where they already are costs a start milliseconds per note.
    const LayoutKey key{width,
                        height,
                        dpi(),
                        titleLine.visible(),
                        editBar.visible(),
                        viewBar.visible(),
                        RxClock1.visible()};
    if (key == laidOut_) return;
    laidOut_ = key;
    int top = 0;
    if (titleLine.visible()) {
        titleLine.setBounds({0, 0, width, kNoteTitleHeight});
        top += kNoteTitleHeight;
    }
    for (ToolBar* bar : {&editBar, &viewBar}) {
        if (!bar->visible()) continue;
        // A note narrower than its bar wraps the buttons into another row
        // rather than cutting off the last ones.
        const int barHeight = bar->wrappedHeight(width, kBarHeight);
        bar->setBounds({0, top, width, barHeight});
        top += barHeight;
    }
    int bottom = height;
    if (RxClock1.visible()) {
        bottom = std::max(0, height - RxClock::kHeight);
        RxClock1.setBounds({0, bottom, width, RxClock::kHeight});
    }
    memo1.setBounds({0, top, width, std::max(0, bottom - top)});
}

void NoteWindow::onSize(int, int) { layout(); }

// The menu shortcuts work while their menu is the text's menu: Ctrl+Z is
// word wrap in view mode and the control's own undo in edit mode.
bool NoteWindow::memoKeyDown(UINT vk) {
    if (vk == VK_F3) {
        findNext();
        return true;
    }
    return memoMenu().handleShortcut(shortcutFromKey(vk), handle());
}

// A right click on the title line comes as a non-client one, because the
// line answers HTCAPTION.
bool NoteWindow::onNcRButtonUp(int hitTest, POINT screen) {
    if (hitTest != HTCAPTION) return false;
    POINT client = screen;
    ScreenToClient(handle(), &client);
    if (!titleLine.contains(client)) return false;
    viewMenu.popup(handle(), screen);
    return true;
}

}  // namespace tav
