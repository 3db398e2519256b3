#pragma once
// The settings file. Every handler opens it, reads or writes, flushes and
// closes it. Underneath, all IniFile objects on the same path share one
// in-process document (like the system's profile cache), so two handlers that
// have the file open at once never overwrite each other's writes. The document
// lives only while at least one IniFile on its path is open: the file on disk
// stays the truth between operations.
//
// All strings are UTF-8. Section and key names match without regard to case,
// umlauts included, and to blanks at either end. Any name can be written and
// found again: what the file cannot hold in a name is stored escaped.
//
// Encoding: a file is read as UTF-16 or UTF-8 when its mark says so, as UTF-8
// when it is valid UTF-8 with umlauts, else as Windows-1252. A write keeps the
// encoding unless that could not be read back the same way; then the file
// becomes UTF-8 with a mark. Lines the program did not change go back to the
// disk as they were read; every line ends in CR LF.

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tav {

// Raised for a file that cannot be read (a directory of that name, no
// permission) or written ("nach %s kann nicht geschrieben werden"). The text
// is German and is shown to the user as it stands.
class IniError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct IniDocument;

// The settings file's reading of an integer, for every number the program
// reads from it: decimal with an optional sign; "$" or "0x"/"0X" followed by
// hexadecimal (a 32-bit pattern, so "$FFFFFFFF" is -1). nullopt for anything
// else, blanks included.
std::optional<int> parseIniInteger(std::string_view text);

class IniFile {
public:
    explicit IniFile(const std::string& path);
    // Writes pending changes like close(), but swallows a failure: a
    // destructor must not throw. Call close() where the error matters.
    ~IniFile();
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;

    // At most 2047 characters come back; one pair of matching surrounding
    // quotes (double or single) is removed.
    std::string readString(const std::string& section, const std::string& key,
                           const std::string& def) const;
    // Decimal; "0x"/"0X" (longer than two characters) and "$" hexadecimal;
    // anything that is not a valid integer yields def.
    int readInteger(const std::string& section, const std::string& key, int def) const;
    // Read as an integer: non-zero is true.
    bool readBool(const std::string& section, const std::string& key, bool def) const;

    void writeString(const std::string& section, const std::string& key, const std::string& value);
    void writeInteger(const std::string& section, const std::string& key, int value);
    void writeBool(const std::string& section, const std::string& key, bool value);

    void eraseSection(const std::string& section);
    // Removes the key (every copy of it) from the section; nothing else moves.
    void deleteKey(const std::string& section, const std::string& key);
    bool sectionExists(const std::string& section) const;
    bool valueExists(const std::string& section, const std::string& key) const;

    // Writes the whole document through a temporary file and a rename when it
    // has changed. Throws IniError "nach <file> kann nicht geschrieben werden";
    // the file on disk is then left as it was.
    void updateFile();
    // updateFile(), then this object lets go of the shared document.
    void close();

private:
    friend class IniWriteHold;
    IniDocument& document() const;
    void release();
    std::optional<std::string> lookup(const std::string& section, const std::string& key) const;

    std::string path_;
    mutable std::shared_ptr<IniDocument> doc_;
};

// Gathers the writes of every IniFile on the path into one while it lives:
// the orderly exit saves fifty placements with one write and one flush to
// disk instead of fifty. Each write is still atomic; only when the file is
// written moves to commit().
class IniWriteHold {
public:
    explicit IniWriteHold(const std::string& path);
    // Without commit(), writes like IniFile's destructor and swallows a failure.
    ~IniWriteHold();
    IniWriteHold(const IniWriteHold&) = delete;
    IniWriteHold& operator=(const IniWriteHold&) = delete;

    // Ends the hold and writes what was gathered; throws IniError like close().
    void commit();

private:
    void end();

    IniFile file_;
    bool held_ = true;
};

}  // namespace tav
