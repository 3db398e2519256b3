#pragma once
// Every section and key name that "Tavelin.ini" and "uns.ini" hold, spelt as
// the files have always had them: search for a key's name and you find the
// typed accessor that writes it (NoteStore.cpp, NotePlacement.cpp). Names
// match without regard to case when read; where two writers spell a key
// differently, both spellings are here.

namespace tav::keys {

// Section "Settings" of Tavelin.ini.
inline constexpr char Settings[] = "Settings";
inline constexpr char Notizanzahl[] = "Notizanzahl";
inline constexpr char firstrun[] = "firstrun";
inline constexpr char startscreen[] = "startscreen";
// Read as "Showmenu"; the settings dialog has always written it in lower case.
inline constexpr char showmenu[] = "showmenu";
inline constexpr char wordwrap[] = "wordwrap";  // in a note's section too
inline constexpr char Standardfontname[] = "Standardfontname";
inline constexpr char Standardfontsize[] = "Standardfontsize";
inline constexpr char Hotkey_neu[] = "Hotkey_neu";
inline constexpr char Hotkey_Vordergrund[] = "Hotkey_Vordergrund";

// A note's own section, named by its note name ("Notiz3").
inline constexpr char active[] = "active";
inline constexpr char NotizTitel[] = "NotizTitel";
inline constexpr char Buttonbar[] = "Buttonbar";
// "wordwrap" as the note's close query has always spelt it.
inline constexpr char WordwrapOnClose[] = "Wordwrap";
inline constexpr char minimiert[] = "minimiert";
inline constexpr char restoresize[] = "restoresize";
inline constexpr char titelleiste[] = "titelleiste";
inline constexpr char showclock[] = "showclock";
inline constexpr char Alarmdatum[] = "Alarmdatum";
// A repeating alarm's series ("täglich 2026-12-09 20:00:00"); missing means
// a one-time alarm, which is all that older versions see in it.
inline constexpr char Alarmwiederholung[] = "Alarmwiederholung";
inline constexpr char RxClock1_AlarmEnabled[] = "RxClock1_AlarmEnabled";
inline constexpr char RxClock1_AlarmHour[] = "RxClock1_AlarmHour";
inline constexpr char RxClock1_AlarmMinute[] = "RxClock1_AlarmMinute";
inline constexpr char RxClock1_AlarmSecond[] = "RxClock1_AlarmSecond";
inline constexpr char memo1_Color[] = "memo1_Color";

// The note's placement, in the same section. "MinMaxPos" and "NormPos" are
// written twice: with the monitor layout appended and plain. One monitor's
// layout is its size ("NormPos(1024x768)"), several name each one's size and
// place ("NormPos(1024x768+1280x1024@1024,0)"); each layout keeps the keys
// it was last saved with, for when it returns.
inline constexpr char Flags[] = "Flags";
inline constexpr char ShowCmd[] = "ShowCmd";
inline constexpr char PixelsPerInch[] = "PixelsPerInch";
inline constexpr char MinMaxPos[] = "MinMaxPos";
inline constexpr char NormPos[] = "NormPos";
inline constexpr char Visible[] = "Visible";

// uns.ini: one section per hidden note, named by its title line.
inline constexpr char intname[] = "intname";
inline constexpr char sichtbar[] = "sichtbar";

}  // namespace tav::keys
