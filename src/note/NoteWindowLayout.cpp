// The note window's controls, menus and tool bars, and how they share the
// client area.

#include <algorithm>

#include "note/NoteHost.h"
#include "note/NoteWindow.h"
#include "resource.h"
#include "store/NoteStore.h"
#include "store/ShortcutText.h"
#include "toolbar_images.h"

namespace tav {

namespace {

constexpr int kMemoId = 1;
constexpr int kClockId = 2;
constexpr int kTitleHeight = 13;
constexpr int kBarHeight = 29;
constexpr int kButtonSize = 21;
constexpr int kSmallButtonHeight = 13;
// Over the left end of the title line and exactly as high: the bar draws no
// edge above its buttons, so they start at its top edge.
constexpr LayoutRect kSmallBarBounds{2, 0, 35, kTitleHeight};

constexpr int ctrl(char key) { return kCtrl + key; }

void item(MenuItem& m, const char* name, const char* caption, int shortcut = 0) {
    m.name = name;
    m.caption = caption;
    m.shortcut = shortcut;
}

void button(SpeedButton& b, const char* name, int picture, const char* hint,
            std::function<void()> onClick) {
    b.name = name;
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
        RxClock1Alarm(previous, now);
    };
    RxClock1.setColor(color());
    RxClock1.setVisible(true);

    // The controls are made where the layout puts them: moved there
    // afterwards, each would arrange its buttons or text once more.
    built_ = true;
    layout();
    ToolBar1.create(*this);
    RxClock1.create(*this, kClockId);
    memo1.setColor(kYellow);
    memo1.setReadOnly(true);
    memo1.setScrollBars(ScrollBars::Both);
    memo1.setAutoUrlDetect(true);
    memo1.create(*this, kMemoId);
    memo1.setDefaultFont("Arial", 10);
    memo1.onKeyDown = [this](UINT vk) { return memoKeyDown(vk); };
    memo1.onContextMenu = [this](POINT screen) { memoMenu().popup(handle(), screen); };
    memo1.onSelectionChange = [this] { memo1SelectionChange(); };
    memo1.onLinkClick = [this](const std::string& link) { memo1URLClick(link); };
    // Where the view bar's buttons wrap only the made bar can tell.
    laidOut_ = {};
    layout();

    buildViewMenu();
    buildEditMenu();
    initTextCommands();
}

void NoteWindow::buildTitleBar() {
    Label1.create(*this);
    Label1.setFont({.name = "MS Sans Serif", .sizePoints = 8, .bold = true});
    Label1.setAlignment(Alignment::Right);
    Label1.setColor(kTitleViewColor);
    Label1.setText(std::string(kDefaultNoteTitle) + "  ");
    Label1.showHint = true;

    ToolBar3.setBounds(kSmallBarBounds);
    ToolBar3.setButtonSize(17, kSmallButtonHeight);
    ToolBar3.setFont({.name = "Marlett", .sizePoints = 8});
    ToolBar3.setColor(kTitleViewColor);
    SpeedButton17.name = "SpeedButton17";
    SpeedButton17.setWidth(17);
    SpeedButton17.setCaption("r");
    SpeedButton17.setHint("Diese Notiz löschen");
    SpeedButton17.onClick = [this] { Notizlschen1Click(); };
    SpeedButton18.name = "SpeedButton18";
    SpeedButton18.setWidth(14);
    SpeedButton18.setCaption("0");
    SpeedButton18.setHint("Notiz minimieren");
    SpeedButton18.onClick = [this] { SpeedButton18Click(); };
    ToolBar3.add(SpeedButton17);
    ToolBar3.add(SpeedButton18);
    ToolBar3.create(*this);
}

void NoteWindow::buildViewBar() {
    ToolBar1.setButtonSize(kButtonSize, kButtonSize);
    ToolBar1.setWrapable(true);
    button(SpeedButton6, "SpeedButton6", IMG_NEW, "eine neue Notiz erstellen",
           [this] { neue1Click(); });
    button(SpeedButton1, "SpeedButton1", IMG_EDIT,
           "Notiz bearbeiten:Hiermit können Sie den Text \r\nIhrer Notiz bearbeiten",
           [this] { Bearbeiten1Click(); });
    button(SpeedButton5, "SpeedButton5", IMG_ALARM,
           "Alarm für Notiz: Hier können Sie eine\r\nAlarmzeit für die Notiz definieren, um "
           "sich \r\nz.B. an einen Termin erinnern zu lassen.",
           [this] { Alarm1Click(); });
    button(SpeedButton3, "SpeedButton3", IMG_DELETE,
           "Notiz löschen:entfernt die \r\naktuelle Notiz", [this] { Notizlschen1Click(); });
    button(SpeedButton2, "SpeedButton2", IMG_PRINT,
           "Notiz drucken: Druckt den Notiz-Text auf dem Standard-Drucker aus.",
           [this] { Notizdrucken1Click(); });
    button(SpeedButton4, "SpeedButton4", IMG_COPY,
           "Text kopieren:hiermit wird der \r\nmarkierte Text in die Zwischenablage kopiert.",
           [this] { kopieren1Click(); });
    button(SpeedButton19, "SpeedButton19", IMG_BARS_OFF,
           "Menüleiste ausschalten: Deaktiviert diese Buttons",
           [this] { Menleistesichtbar1Click(); });
    button(SpeedButton15, "SpeedButton15", IMG_EXIT,
           "Tavelin beenden:beendet Tavelin komplett.\r\nDie Notizen stehen erst wieder zur "
           "Verfügung, wenn Tavelin\r\nwieder gestartet wird.",
           [this] { Tavelinbeenden1Click(); });
    for (SpeedButton* b : {&SpeedButton6, &SpeedButton1, &SpeedButton5, &SpeedButton3,
                           &SpeedButton2, &SpeedButton4, &SpeedButton19, &SpeedButton15})
        ToolBar1.add(*b);
}

void NoteWindow::buildEditBar() {
    ToolBar2.setButtonSize(kButtonSize, kButtonSize);
    ToolBar2.setVisible(false);
    ToolBar2.setWrapable(true);
    ToolBar2.createWhenShown(*this);
    button(SpeedButton10, "SpeedButton10", IMG_SAVE,
           "Notiz speichern:Sichert den Notiz-Text\r\ndauerhaft.", [this] { speichern1Click(); });
    button(SpeedButton16, "SpeedButton16", IMG_DELETE,
           "Notiz löschen:entfernt die \r\naktuelle Notiz", [this] { Notizlschen1Click(); });
    button(SpeedButton20, "SpeedButton20", IMG_ALARM,
           "Alarm für Notiz: Hier können Sie eine\r\nAlarmzeit für die Notiz definieren, um "
           "sich \r\nz.B. an einen Termin erinnern zu lassen.",
           [this] { Alarm1Click(); });
    button(SpeedButton7, "SpeedButton7", IMG_COPY,
           "Text kopieren:hiermit wird der \r\nmarkierte Text in die Zwischenablage kopiert.",
           [this] { kopieren1Click(); });
    button(SpeedButton8, "SpeedButton8", IMG_CUT,
           "Text ausschneiden:Kopiert den markierten Text\r\nin die Zwischenablage in löscht "
           "anschließend diesen Text \r\naus der Notiz",
           [this] { ausschneiden1Click(); });
    button(SpeedButton9, "SpeedButton9", IMG_PASTE,
           "Text einfügen:Fügt den Text aus der\r\nZwischenablage ein, der vorher kopiert wurde.",
           [this] { Text2Click(); });
    button(SpeedButton13, "SpeedButton13", IMG_OBJECT,
           "OLE-Objekt einfügen, dies kann\r\nein Bild, eine WAV-Datei oder eine\r\nExcel-Datei "
           "sein.",
           [this] { Objekt1Click(); });
    button(SpeedButton11, "SpeedButton11", IMG_FONT,
           "Schriftart einstellen: Hiermit ändern\r\nSie Schriftart, Größe und -Farbe",
           [this] { Schrift2Click(); });
    button(aufz1, "aufz1", IMG_BULLETS, "Aufzählung: Formatiert Absatz als\r\nAufzählung (Punkte)",
           [this] { aufz1Click(); });
    button(linksb, "linksb", IMG_ALIGN_LEFT, "Text linksbündig anzeigen",
           [this] { linksbClick(); });
    button(zentr, "zentr", IMG_ALIGN_CENTER, "Text zentriert anzeigen", [this] { zentrClick(); });
    button(rechtsb, "rechtsb", IMG_ALIGN_RIGHT, "Text rechtsbündig anzeigen",
           [this] { rechtsbClick(); });
    button(SpeedButton12, "SpeedButton12", IMG_NOTE_COLOR,
           "Notizfarbe: Hiermit stellen \r\nSie die Hintergrundfarbe der\r\nNotiz ein.",
           [this] { MemoFarbe1Click(); });
    button(SpeedButton14, "SpeedButton14", IMG_HIGHLIGHT,
           "Schrifthintergrund:Formatieren Sie hiermit\r\nden Hintergrund für einen "
           "Textabschnitt, wie mit\r\neinem Textmarker",
           [this] { Schrifteffekte1Click(); });
    // Bullets toggle on their own; of the three alignments one is always down.
    aufz1.setGroupIndex(1);
    aufz1.setAllowAllUp(true);
    for (SpeedButton* b : {&linksb, &zentr, &rechtsb}) b->setGroupIndex(2);
    linksb.setDown(true);
    for (SpeedButton* b : {&SpeedButton10, &SpeedButton16, &SpeedButton20, &SpeedButton7,
                           &SpeedButton8, &SpeedButton9, &SpeedButton13, &SpeedButton11, &aufz1,
                           &linksb, &zentr, &rechtsb, &SpeedButton12, &SpeedButton14})
        ToolBar2.add(*b);
}

void NoteWindow::buildViewMenu() {
    PopupMenu1.name = "PopupMenu1";
    item(NotizEigenschaften1, "NotizEigenschaften1", "Notiz-Eigenschaften");
    item(NotizTitel1, "NotizTitel1", "Notiz-Titel", ctrl('T'));
    item(Alarm1, "Alarm1", "Alarm für diese Notiz", ctrl('E'));
    item(Uhrsichtbar1, "Uhrsichtbar1", "Uhr sichtbar");
    item(Zeilenumbruch1, "Zeilenumbruch1", "Zeilenumbruch", ctrl('Z'));
    item(Immersichtbar1, "Immersichtbar1", "Notiz immer sichtbar");
    item(Menleistesichtbar1, "Menleistesichtbar1", "Menüleiste sichtbar");
    item(Titelleistesichtbar1, "Titelleistesichtbar1", "Titelleiste sichtbar");
    item(MemoFarbe1, "MemoFarbe1", "Notiz-&Farbe...", ctrl('N'));
    item(Notizunsichtbar1, "Notizunsichtbar1", "Notiz &unsichtbar");
    item(Bearbeiten1, "Bearbeiten1", "&Notiz bearbeiten", ctrl('B'));
    item(Notizdrucken1, "Notizdrucken1", "Notiz drucken", ctrl('D'));
    item(Notizlschen1, "Notizlschen1", "&Notiz löschen", ctrl('L'));
    item(Text1, "Text1", "Text");
    item(allesmarkieren1, "allesmarkieren1", "alles markieren", ctrl('A'));
    item(kopieren1, "kopieren1", "kopieren");
    item(neue1, "neue1", "n&eue Notiz erstellen");
    item(N2, "N2", "-");
    item(ImportExport1, "ImportExport1", "Import/Export");
    item(Notizexport1, "Notizexport1", "Notiz exportieren");
    item(Notizimportieren1, "Notizimportieren1", "Notiz importieren");
    item(Grundeinstellungen1, "Grundeinstellungen1", "Grundeinstellungen...");
    item(Info1, "Info1", "&Info über das Programm...", ctrl('I'));
    item(N3, "N3", "-");
    item(Tavelinbeenden1, "Tavelinbeenden1", "Tavelin b&eenden");

    Uhrsichtbar1.checked = Menleistesichtbar1.checked = Titelleistesichtbar1.checked = true;
    Zeilenumbruch1.hint = "Zeilenumbruch an/ausschalten ";
    Immersichtbar1.hint = "Wenn die Notiz immer im Vordergrund sichtbar sein soll, hier klicken!";
    Menleistesichtbar1.hint = "Buttonleiste ein/ausschalten";
    MemoFarbe1.hint = "Hintergrundfarbe für die Notiz";

    NotizTitel1.onClick = [this] { NotizTitel1Click(); };
    Alarm1.onClick = [this] { Alarm1Click(); };
    Uhrsichtbar1.onClick = [this] { Uhrsichtbar1Click(); };
    Zeilenumbruch1.onClick = [this] { Zeilenumbruch1Click(); };
    Immersichtbar1.onClick = [this] { Immersichtbar1Click(); };
    Menleistesichtbar1.onClick = [this] { Menleistesichtbar1Click(); };
    Titelleistesichtbar1.onClick = [this] { Titelleistesichtbar1Click(); };
    MemoFarbe1.onClick = [this] { MemoFarbe1Click(); };
    Notizunsichtbar1.onClick = [this] { Notizunsichtbar1Click(); };
    Notizunsichtbar1.visible = host_.hidingAvailable();
    Bearbeiten1.onClick = [this] { Bearbeiten1Click(); };
    Notizdrucken1.onClick = [this] { Notizdrucken1Click(); };
    Notizlschen1.onClick = [this] { Notizlschen1Click(); };
    allesmarkieren1.onClick = [this] { allesmarkieren1Click(); };
    kopieren1.onClick = [this] { kopieren1Click(); };
    neue1.onClick = [this] { neue1Click(); };
    Notizexport1.onClick = [this] { Notizexport1Click(); };
    Notizimportieren1.onClick = [this] { Notizimportieren1Click(); };
    Grundeinstellungen1.onClick = [this] { Grundeinstellungen1Click(); };
    // The dialogs are attached before the first note window is made.
    Grundeinstellungen1.enabled = host_.settingsAvailable();
    Info1.onClick = [this] { Info1Click(); };
    Tavelinbeenden1.onClick = [this] { Tavelinbeenden1Click(); };

    NotizEigenschaften1.add(NotizTitel1)
        .add(Alarm1)
        .add(Uhrsichtbar1)
        .add(Zeilenumbruch1)
        .add(Immersichtbar1)
        .add(Menleistesichtbar1)
        .add(Titelleistesichtbar1)
        .add(MemoFarbe1);
    Text1.add(allesmarkieren1).add(kopieren1);
    ImportExport1.add(Notizexport1).add(Notizimportieren1);
    PopupMenu1.add(NotizEigenschaften1)
        .add(Notizunsichtbar1)
        .add(Bearbeiten1)
        .add(Notizdrucken1)
        .add(Notizlschen1)
        .add(Text1)
        .add(neue1)
        .add(N2)
        .add(ImportExport1)
        .add(Grundeinstellungen1)
        .add(Info1)
        .add(N3)
        .add(Tavelinbeenden1);
}

void NoteWindow::buildEditMenu() {
    PopupMenu2.name = "PopupMenu2";
    item(Buttonleisteaktiv1, "Buttonleisteaktiv1", "Edit-Buttonleiste aktivieren");
    item(Textaktionen1, "Textaktionen1", "Textaktionen");
    item(speichern1, "speichern1", "&Text speichern", ctrl('S'));
    item(kopieren2, "kopieren2", "kopieren");
    item(ausschneiden1, "ausschneiden1", "ausschneiden");
    item(einfgen1, "einfgen1", "einfügen");
    item(Text2, "Text2", "Text");
    item(Objekt1, "Objekt1", "Objekt", ctrl('O'));
    item(allesmarkieren2, "allesmarkieren2", "alles markieren");
    item(N1, "N1", "-");
    item(rckgngig1, "rckgngig1", "rückgängig");
    item(Formatoptionen1, "Formatoptionen1", "Formatoptionen");
    item(Schrift2, "Schrift2", "&Schriftart und -größe...", ctrl('F'));
    item(Schrifteffekte1, "Schrifteffekte1", "Schrifthintergrund", ctrl('H'));
    item(NotizFarbe1, "NotizFarbe1", "Notiz-Farbe", ctrl('N'));
    item(Zeilenumbruch2, "Zeilenumbruch2", "Zeilenumbruch");
    item(Notizlschen2, "Notizlschen2", "Notiz löschen", ctrl('L'));

    Buttonleisteaktiv1.visible = false;

    Buttonleisteaktiv1.onClick = [this] { Buttonleisteaktiv1Click(); };
    speichern1.onClick = [this] { speichern1Click(); };
    kopieren2.onClick = [this] { kopieren1Click(); };
    ausschneiden1.onClick = [this] { ausschneiden1Click(); };
    Text2.onClick = [this] { Text2Click(); };
    Objekt1.onClick = [this] { Objekt1Click(); };
    allesmarkieren2.onClick = [this] { allesmarkieren1Click(); };
    rckgngig1.onClick = [this] { rckgngig1Click(); };
    Schrift2.onClick = [this] { Schrift2Click(); };
    Schrifteffekte1.onClick = [this] { Schrifteffekte1Click(); };
    NotizFarbe1.onClick = [this] { MemoFarbe1Click(); };
    Zeilenumbruch2.onClick = [this] { Zeilenumbruch1Click(); };
    Notizlschen2.onClick = [this] { Notizlschen1Click(); };

    einfgen1.add(Text2).add(Objekt1);
    Textaktionen1.add(speichern1)
        .add(kopieren2)
        .add(ausschneiden1)
        .add(einfgen1)
        .add(allesmarkieren2)
        .add(N1)
        .add(rckgngig1);
    Formatoptionen1.add(Schrift2).add(Schrifteffekte1).add(NotizFarbe1).add(Zeilenumbruch2);
    PopupMenu2.add(Buttonleisteaktiv1).add(Textaktionen1).add(Formatoptionen1).add(Notizlschen2);
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
                        Label1.visible(),
                        ToolBar2.visible(),
                        ToolBar1.visible(),
                        RxClock1.visible()};
    if (key == laidOut_) return;
    laidOut_ = key;
    int top = 0;
    if (Label1.visible()) {
        Label1.setBounds({0, 0, width, kTitleHeight});
        top += kTitleHeight;
    }
    for (ToolBar* bar : {&ToolBar2, &ToolBar1}) {
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
    return memoMenu().handleShortcut(shortcutFromKey(vk), handle());
}

// A right click on the title line comes as a non-client one, because the
// line answers HTCAPTION.
bool NoteWindow::onNcRButtonUp(int hitTest, POINT screen) {
    if (hitTest != HTCAPTION) return false;
    POINT client = screen;
    ScreenToClient(handle(), &client);
    if (!Label1.contains(client)) return false;
    PopupMenu1.popup(handle(), screen);
    return true;
}

}  // namespace tav
