#include "store/NoteStore.h"

#include <algorithm>
#include <vector>

#include "store/FileIo.h"
#include "store/IniKeys.h"
#include "store/ShortcutText.h"

namespace tav {

namespace {

std::string& programDirStorage() {
    static std::string dir;
    return dir;
}

constexpr char kNotePrefix[] = "Notiz";
constexpr std::size_t kNotePrefixLength = sizeof(kNotePrefix) - 1;

char asciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool isContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Length of the UTF-8 character at text[i], so that "?" stands for one
// character of a name, not one byte of an umlaut.
std::size_t charLength(const std::string& text, std::size_t i) {
    std::size_t n = 1;
    while (i + n < text.size() && isContinuationByte(text[i + n])) ++n;
    return n;
}

bool sameChar(const std::string& a, std::size_t i, const std::string& b, std::size_t j,
              std::size_t length) {
    if (j + length > b.size()) return false;
    for (std::size_t k = 0; k < length; ++k) {
        if (asciiUpper(a[i + k]) != asciiUpper(b[j + k])) return false;
    }
    return true;
}

// Wildcard match as the Windows file finder does it for plain names: "?" one
// character, "*" any run, letters without regard to case.
bool matchesPattern(const std::string& pattern, const std::string& name) {
    std::size_t p = 0, n = 0;
    std::size_t starP = std::string::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = ++p;
            starN = n;
        } else if (p < pattern.size() && pattern[p] == '?') {
            ++p;
            n += charLength(name, n);
        } else if (p < pattern.size() && sameChar(pattern, p, name, n, charLength(pattern, p))) {
            const std::size_t length = charLength(pattern, p);
            p += length;
            n += length;
        } else if (starP != std::string::npos) {
            starN += charLength(name, starN);
            n = starN;
            p = starP;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

}  // namespace

void setProgramDir(std::string dirWithTrailingSeparator) {
    programDirStorage() = std::move(dirWithTrailingSeparator);
}

const std::string& programDir() { return programDirStorage(); }

std::string settingsPath() { return programDir() + "Tavelin.ini"; }
std::string unsIniPath() { return programDir() + "uns.ini"; }
std::string alarmWavPath() { return programDir() + "alarm.wav"; }

std::string noteName(int number) { return kNotePrefix + std::to_string(number); }

int noteNumber(const std::string& name) {
    if (name.compare(0, kNotePrefixLength, kNotePrefix) != 0) return 0;
    int number = 0;
    for (std::size_t i = kNotePrefixLength; i < name.size(); ++i) {
        const char c = name[i];
        if (c < '0' || c > '9') break;
        number = number * 10 + (c - '0');
        // No note number is that long; a name like this is no note of ours.
        if (number > 1000000) return 0;
    }
    return number;
}

std::string noteTextPath(const std::string& noteName) { return programDir() + noteName + ".tvn"; }

bool needsMigration(const std::string& windowsIni, const std::string& programIni) {
    return fileExists(windowsIni) && !fileExists(programIni);
}

namespace {

// Tavelin.ini, uns.ini and the note texts, in any case, as Windows sees them.
bool isProgramFileName(const std::string& name) {
    std::string upper;
    for (char c : name) upper += asciiUpper(c);
    if (upper == "TAVELIN.INI" || upper == "UNS.INI") return true;
    constexpr std::string_view kExtension = ".TVN";
    if (!upper.starts_with("NOTIZ") || !upper.ends_with(kExtension)) return false;
    const std::string digits =
        upper.substr(kNotePrefixLength, upper.size() - kNotePrefixLength - kExtension.size());
    return !digits.empty() &&
           std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

void removeLeftoverTemporaryFiles() {
    const auto names = filesIn(programDir());
    if (!names) return;
    // A leftover that cannot go now is tried again at the next start.
    for (const std::string& name : *names) {
        const auto owner = temporaryFileOwner(name);
        if (owner && isProgramFileName(*owner)) deleteFile(programDir() + name);
    }
}

int SlotTable::lowestFree(const Unavailable& unavailable) const {
    for (int number = 1; number <= kMaxNotes; ++number) {
        if (!isUsed(number) && !(unavailable && unavailable(number))) return number;
    }
    return 0;
}

int SlotTable::takeLowestFree(const Unavailable& unavailable) {
    const int number = lowestFree(unavailable);
    markUsed(number);
    return number;
}

// Numbers outside 1..50 come from names the program did not make; they own
// no slot, so they are ignored rather than written past the table.
void SlotTable::markUsed(int number) {
    if (number >= 1 && number <= kMaxNotes) used_[number - 1] = true;
}

void SlotTable::markFree(int number) {
    if (number >= 1 && number <= kMaxNotes) used_[number - 1] = false;
}

bool SlotTable::isUsed(int number) const {
    return number >= 1 && number <= kMaxNotes && used_[number - 1];
}

int SlotTable::firstFreeRunLength() const {
    int count = 0;
    while (count < kMaxNotes && used_[count]) ++count;
    return count;
}

int SettingsKeys::notizanzahl(const IniFile& ini) {
    return ini.readInteger(keys::Settings, keys::Notizanzahl, 0);
}
void SettingsKeys::setNotizanzahl(IniFile& ini, int count) {
    ini.writeInteger(keys::Settings, keys::Notizanzahl, count);
}
bool SettingsKeys::firstrun(const IniFile& ini) {
    return ini.readBool(keys::Settings, keys::firstrun, false);
}
void SettingsKeys::setFirstrun(IniFile& ini, bool on) {
    ini.writeBool(keys::Settings, keys::firstrun, on);
}
bool SettingsKeys::startscreen(const IniFile& ini) {
    return ini.readBool(keys::Settings, keys::startscreen, true);
}
void SettingsKeys::setStartscreen(IniFile& ini, bool on) {
    ini.writeBool(keys::Settings, keys::startscreen, on);
}
bool SettingsKeys::showmenu(const IniFile& ini) {
    return ini.readBool(keys::Settings, keys::showmenu, true);
}
void SettingsKeys::setShowmenu(IniFile& ini, bool on) {
    ini.writeBool(keys::Settings, keys::showmenu, on);
}
bool SettingsKeys::wordwrap(const IniFile& ini) {
    return ini.readBool(keys::Settings, keys::wordwrap, false);
}
void SettingsKeys::setWordwrap(IniFile& ini, bool on) {
    ini.writeBool(keys::Settings, keys::wordwrap, on);
}
// A value the program cannot use counts as missing: the setting keeps its
// default rather than giving a note no font, no size or no hot key.
std::string SettingsKeys::standardFontName(const IniFile& ini, const std::string& def) {
    const std::string name = ini.readString(keys::Settings, keys::Standardfontname, def);
    return name.empty() ? def : name;
}
void SettingsKeys::setStandardFontName(IniFile& ini, const std::string& name) {
    ini.writeString(keys::Settings, keys::Standardfontname, name);
}
// Sizes outside what the settings dialog offers are taken as its nearer bound.
int SettingsKeys::standardFontSize(const IniFile& ini) {
    return std::clamp(ini.readInteger(keys::Settings, keys::Standardfontsize, 10), 6, 200);
}
void SettingsKeys::setStandardFontSize(IniFile& ini, int points) {
    ini.writeInteger(keys::Settings, keys::Standardfontsize, points);
}
namespace {

// Empty is the user's "no hot key", and so is a text that names no key:
// another letter in its place would be a hot key nobody chose.
std::string hotKeyLetter(const IniFile& ini, const char* key, const char* def) {
    const std::string letter = ini.readString(keys::Settings, key, def);
    return letter.empty() || hotKeyShortcut(letter) != 0 ? letter : std::string();
}

std::optional<std::string> unusableHotKey(const IniFile& ini, const char* key) {
    const std::string letter = ini.readString(keys::Settings, key, "");
    if (letter.empty() || hotKeyShortcut(letter) != 0) return std::nullopt;
    return letter;
}

}  // namespace

std::string SettingsKeys::hotkeyNeu(const IniFile& ini) {
    return hotKeyLetter(ini, keys::Hotkey_neu, "K");
}
void SettingsKeys::setHotkeyNeu(IniFile& ini, const std::string& letter) {
    ini.writeString(keys::Settings, keys::Hotkey_neu, letter);
}
std::string SettingsKeys::hotkeyVordergrund(const IniFile& ini) {
    return hotKeyLetter(ini, keys::Hotkey_Vordergrund, "X");
}
std::optional<std::string> SettingsKeys::unusableHotkeyNeu(const IniFile& ini) {
    return unusableHotKey(ini, keys::Hotkey_neu);
}
std::optional<std::string> SettingsKeys::unusableHotkeyVordergrund(const IniFile& ini) {
    return unusableHotKey(ini, keys::Hotkey_Vordergrund);
}
void SettingsKeys::setHotkeyVordergrund(IniFile& ini, const std::string& letter) {
    ini.writeString(keys::Settings, keys::Hotkey_Vordergrund, letter);
}

bool NoteRecord::active(const IniFile& ini, const std::string& note) {
    return ini.readBool(note, keys::active, false);
}
bool NoteRecord::restoredAtStart(const IniFile& ini, const std::string& note) {
    if (!ini.valueExists(note, keys::active)) return false;
    return !parseIniInteger(ini.readString(note, keys::active, "")).has_value() ||
           active(ini, note);
}
void NoteRecord::setActive(IniFile& ini, const std::string& note, bool on) {
    ini.writeBool(note, keys::active, on);
}
std::string NoteRecord::title(const IniFile& ini, const std::string& note) {
    return ini.readString(note, keys::NotizTitel, kDefaultNoteTitle);
}
void NoteRecord::setTitle(IniFile& ini, const std::string& note, const std::string& titleLine) {
    ini.writeString(note, keys::NotizTitel, "\"" + titleLine + "\"");
}
bool NoteRecord::buttonBarsShown(const IniFile& ini, const std::string& note) {
    return ini.readBool(note, keys::Buttonbar, true);
}
void NoteRecord::setButtonBarsShown(IniFile& ini, const std::string& note, bool on) {
    ini.writeBool(note, keys::Buttonbar, on);
}
bool NoteRecord::wordWrap(const IniFile& ini, const std::string& note) {
    return ini.readBool(note, keys::wordwrap, false);
}
void NoteRecord::setWordWrap(IniFile& ini, const std::string& note, bool on) {
    ini.writeBool(note, keys::wordwrap, on);
}
void NoteRecord::setWordWrapOnClose(IniFile& ini, const std::string& note, bool on) {
    ini.writeBool(note, keys::WordwrapOnClose, on);
}
bool NoteRecord::rolledUp(const IniFile& ini, const std::string& note) {
    return ini.readBool(note, keys::minimiert, false);
}
void NoteRecord::setRolledUp(IniFile& ini, const std::string& note, bool on) {
    ini.writeBool(note, keys::minimiert, on);
}
// A height no note can have would leave the unrolled note invisible or
// larger than any screen.
int NoteRecord::restoreHeight(const IniFile& ini, const std::string& note) {
    const int height = ini.readInteger(note, keys::restoresize, kDefaultRestoreSize);
    return height >= kMinNoteHeight && height <= kMaxNoteHeight ? height : kDefaultRestoreSize;
}
void NoteRecord::setRestoreHeight(IniFile& ini, const std::string& note, int height) {
    ini.writeInteger(note, keys::restoresize, height);
}
bool NoteRecord::titleLineShown(const IniFile& ini, const std::string& note) {
    return ini.readBool(note, keys::titelleiste, true);
}
void NoteRecord::setTitleLineShown(IniFile& ini, const std::string& note, bool on) {
    ini.writeBool(note, keys::titelleiste, on);
}
bool NoteRecord::clockShown(const IniFile& ini, const std::string& note) {
    return ini.readBool(note, keys::showclock, false);
}
void NoteRecord::setClockShown(IniFile& ini, const std::string& note, bool on) {
    ini.writeBool(note, keys::showclock, on);
}
std::string NoteRecord::alarmDate(const IniFile& ini, const std::string& note,
                                  const std::string& today) {
    return ini.readString(note, keys::Alarmdatum, today);
}
void NoteRecord::setAlarmDate(IniFile& ini, const std::string& note, const std::string& date) {
    ini.writeString(note, keys::Alarmdatum, date);
}
AlarmSeries NoteRecord::alarmSeries(const IniFile& ini, const std::string& note,
                                    const DateTime& alarm) {
    return parseSeriesText(ini.readString(note, keys::Alarmwiederholung, ""), alarm);
}
void NoteRecord::setAlarmSeries(IniFile& ini, const std::string& note, const AlarmSeries& series) {
    if (series.repeat == Repeat::Never)
        ini.deleteKey(note, keys::Alarmwiederholung);
    else
        ini.writeString(note, keys::Alarmwiederholung, seriesText(series));
}

namespace {

bool isBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string trimmed(const std::string& text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && isBlank(text[begin])) ++begin;
    while (end > begin && isBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

// A number of the alarm or the colour, blanks inside quotes forgiven; kept
// as it is when the text is no number or lies outside 0..highest.
int storedNumber(const IniFile& ini, const std::string& note, const char* key, int current,
                 int highest) {
    const auto value = parseIniInteger(trimmed(ini.readString(note, key, "")));
    return value && *value >= 0 && *value <= highest ? *value : current;
}

bool equalsIgnoringCase(const std::string& a, const char* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i) {
        if (asciiUpper(a[i]) != asciiUpper(b[i])) return false;
    }
    return i == a.size() && b[i] == '\0';
}

void writeAlarmAs(IniFile& ini, const std::string& note, const ClockAlarm& alarm, const char* on,
                  const char* off) {
    ini.writeString(note, keys::RxClock1_AlarmEnabled, alarm.enabled ? on : off);
    ini.writeInteger(note, keys::RxClock1_AlarmHour, alarm.time.hour);
    ini.writeInteger(note, keys::RxClock1_AlarmMinute, alarm.time.minute);
    ini.writeInteger(note, keys::RxClock1_AlarmSecond, alarm.time.second);
}

}  // namespace

ClockAlarm NoteRecord::alarm(const IniFile& ini, const std::string& note, ClockAlarm current) {
    const std::string enabled = trimmed(ini.readString(note, keys::RxClock1_AlarmEnabled, ""));
    if (equalsIgnoringCase(enabled, "True")) current.enabled = true;
    if (equalsIgnoringCase(enabled, "False")) current.enabled = false;
    TimeOfDay& time = current.time;
    time.hour = storedNumber(ini, note, keys::RxClock1_AlarmHour, time.hour, 23);
    time.minute = storedNumber(ini, note, keys::RxClock1_AlarmMinute, time.minute, 59);
    time.second = storedNumber(ini, note, keys::RxClock1_AlarmSecond, time.second, 59);
    return current;
}

void NoteRecord::writeAlarmOnClose(IniFile& ini, const std::string& note, const ClockAlarm& alarm) {
    writeAlarmAs(ini, note, alarm, "True", "False");
}

void NoteRecord::writeAlarm(IniFile& ini, const std::string& note, const ClockAlarm& alarm) {
    writeAlarmAs(ini, note, alarm, "true", "false");
}

// Only red, green and blue: anything above is no colour the note can show.
int NoteRecord::colour(const IniFile& ini, const std::string& note, int current) {
    return storedNumber(ini, note, keys::memo1_Color, current, 0x00FFFFFF);
}

void NoteRecord::setColour(IniFile& ini, const std::string& note, int colour) {
    ini.writeInteger(note, keys::memo1_Color, colour);
}

void NoteRecord::startFresh(IniFile& ini, const std::string& note) {
    // A deleted note has always left "active=0" behind; a record whose
    // "active" cannot be read is a note the restore brought back.
    if (!ini.valueExists(note, keys::active) || restoredAtStart(ini, note)) return;
    for (const char* key :
         {keys::NotizTitel, keys::Buttonbar, keys::wordwrap, keys::minimiert, keys::restoresize,
          keys::titelleiste, keys::showclock, keys::Alarmdatum, keys::Alarmwiederholung,
          keys::RxClock1_AlarmEnabled, keys::RxClock1_AlarmHour, keys::RxClock1_AlarmMinute,
          keys::RxClock1_AlarmSecond})
        ini.deleteKey(note, key);
}

SlotTable::Unavailable activeRecords(const IniFile& ini) {
    return [&ini](int number) { return NoteRecord::restoredAtStart(ini, noteName(number)); };
}

void HiddenNotesRecord::setHidden(IniFile& uns, const std::string& titleLine,
                                  const std::string& note) {
    uns.writeString(titleLine, keys::intname, note);
    uns.writeBool(titleLine, keys::sichtbar, false);
}

void HiddenNotesRecord::setShownAgain(IniFile& uns, const std::string& titleLine) {
    uns.writeBool(titleLine, keys::sichtbar, true);
}

std::string stripTrailingBlanks(const std::string& title) {
    const std::size_t end = title.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : title.substr(0, end + 1);
}

std::string titleLineText(const std::string& title) { return stripTrailingBlanks(title) + "  "; }

bool deleteFiles(const std::string& pattern) {
    const std::string full = absolutePath(pattern);
    const std::size_t cut = full.find_last_of(kPathSeparators);
    if (cut == std::string::npos || cut + 1 == full.size()) return false;
    const std::string directory = full.substr(0, cut + 1);
    const std::string namePattern = full.substr(cut + 1);

    // Collected first: removing entries while the directory is being read
    // may make the reader skip or repeat names.
    const auto names = filesIn(directory);
    if (!names) return false;
    std::vector<std::string> matches;
    for (const std::string& name : *names) {
        if (name[0] != '.' && matchesPattern(namePattern, name)) matches.push_back(name);
    }
    if (matches.empty()) return false;

    for (const std::string& name : matches) {
        if (!deleteFile(directory + name)) return false;
    }
    return true;
}

}  // namespace tav
