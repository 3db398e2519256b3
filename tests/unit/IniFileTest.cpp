#include <filesystem>

#include "FileTestSupport.h"
#include "store/IniFile.h"

namespace tav {
namespace {

namespace fs = std::filesystem;

using IniFileTest = TempDirTest;

TEST_F(IniFileTest, UnknownContentSurvivesAndNewKeysGoToTheirPlace) {
    put("t.ini",
        "; kept comment\n"
        "[Settings]\n"
        "Notizanzahl = 2\n"
        "# another comment\n"
        "a line without equals\n"
        "\n"
        "[Fremd]\r\n"
        "x=1\r\r\n\n"
        "[Notiz1]\n"
        "active=1");
    {
        IniFile ini(path("t.ini"));
        ini.writeInteger("Settings", "Notizanzahl", 3);
        ini.writeBool("Settings", "firstrun", true);
        ini.writeString("Fremd", "y", "2");
        ini.writeString("Notiz2", "active", "1");
        ini.close();
    }
    EXPECT_EQ(get("t.ini"),
              "; kept comment\r\n"
              "[Settings]\r\n"
              "Notizanzahl=3\r\n"
              "firstrun=1\r\n"
              "# another comment\r\n"
              "a line without equals\r\n"
              "\r\n"
              "[Fremd]\r\n"
              "x=1\r\n"
              "y=2\r\n"
              "\r\n"
              "\r\n"
              "[Notiz1]\r\n"
              "active=1\r\n"
              "\r\n"
              "[Notiz2]\r\n"
              "active=1\r\n");
}

TEST_F(IniFileTest, MissingFileReadsDefaultsAndIsCreatedByTheFirstWrite) {
    IniFile ini(path("Tavelin.ini"));
    EXPECT_EQ(ini.readString("Settings", "Standardfontname", "Courier new"), "Courier new");
    EXPECT_EQ(ini.readInteger("Settings", "Standardfontsize", 10), 10);
    EXPECT_TRUE(ini.readBool("Settings", "startscreen", true));
    ini.updateFile();
    EXPECT_FALSE(fs::exists(path("Tavelin.ini")));

    ini.writeString("Settings", "Hotkey_neu", "K");
    ini.updateFile();
    EXPECT_EQ(get("Tavelin.ini"), "[Settings]\r\nHotkey_neu=K\r\n");
}

TEST_F(IniFileTest, WritingTheSameValueWritesNothing) {
    put("t.ini", "[Settings]\nwordwrap = 1\n");  // LF ends would turn into CR LF
    IniFile ini(path("t.ini"));
    ini.writeBool("settings", "WORDWRAP", true);
    ini.close();
    EXPECT_EQ(get("t.ini"), "[Settings]\nwordwrap = 1\n");
}

TEST_F(IniFileTest, IntegerAndBooleanReading) {
    put("t.ini",
        "[N]\ndec=42\nneg=-17\nplus=+5\nhex=0x0C\nupper=0X1f\ndollar=$ff\nbare0x=0x\n"
        "bareDollar=$\nja=ja\nmixed=12abc\nempty=\nblanks=  7  \nbig=2147483648\n"
        "min=-2147483648\nminus2=-2147483649\nallbits=$FFFFFFFF\nhuge=0x100000000\n"
        "quoted=\"8\"\nsignedhex=-0x10\ntwo=2\nzero=0\n");
    IniFile ini(path("t.ini"));
    const auto num = [&](const char* key) { return ini.readInteger("N", key, -99); };
    EXPECT_EQ(num("dec"), 42);
    EXPECT_EQ(num("neg"), -17);
    EXPECT_EQ(num("plus"), 5);
    EXPECT_EQ(num("hex"), 12);
    EXPECT_EQ(num("upper"), 31);
    EXPECT_EQ(num("dollar"), 255);
    EXPECT_EQ(num("bare0x"), -99);
    EXPECT_EQ(num("bareDollar"), -99);
    EXPECT_EQ(num("ja"), -99);
    EXPECT_EQ(num("mixed"), -99);
    EXPECT_EQ(num("empty"), -99);
    EXPECT_EQ(num("blanks"), 7);
    EXPECT_EQ(num("big"), -99);
    EXPECT_EQ(num("min"), -2147483647 - 1);
    EXPECT_EQ(num("minus2"), -99);
    EXPECT_EQ(num("allbits"), -1);
    EXPECT_EQ(num("huge"), -99);
    EXPECT_EQ(num("quoted"), 8);
    EXPECT_EQ(num("signedhex"), -99);
    EXPECT_EQ(num("missing"), -99);

    EXPECT_TRUE(ini.readBool("N", "two", false));
    EXPECT_FALSE(ini.readBool("N", "zero", true));
    EXPECT_FALSE(ini.readBool("N", "ja", false));
    EXPECT_TRUE(ini.readBool("N", "ja", true));
}

TEST_F(IniFileTest, StringReading) {
    const std::string longValue = std::string(2046, 'a') + "\xC3\xA4\xC3\xB6";  // ..äö
    put("t.ini",
        "[S]\r\ndq=\"Einkauf  \"\r\nsq='x'\r\nmixed=\"x'\r\none=\"\r\ninner=a\"b\"\r\n"
        "blank=   padded value\t\r\nlong=" +
            longValue + "\r\n");
    IniFile ini(path("t.ini"));
    EXPECT_EQ(ini.readString("S", "dq", ""), "Einkauf  ");
    EXPECT_EQ(ini.readString("S", "sq", ""), "x");
    EXPECT_EQ(ini.readString("S", "mixed", ""), "\"x'");
    EXPECT_EQ(ini.readString("S", "one", ""), "\"");
    EXPECT_EQ(ini.readString("S", "inner", ""), "a\"b\"");
    EXPECT_EQ(ini.readString("S", "blank", ""), "padded value");
    EXPECT_EQ(ini.readString("S", "long", ""), std::string(2046, 'a') + "\xC3\xA4");
    EXPECT_EQ(ini.readString("S", "none", "Tavelin2000 Notiz"), "Tavelin2000 Notiz");
}

TEST_F(IniFileTest, NamesIgnoreCaseIncludingUmlauts) {
    put("t.ini",
        "[\xC3\x9C"
        "bersicht]\nGr\xC3\xB6\xC3\x9F"
        "e=1\nShowmenu=0\n");
    IniFile ini(path("t.ini"));
    EXPECT_TRUE(
        ini.sectionExists("\xC3\xBC"
                          "BERSICHT"));
    EXPECT_EQ(ini.readInteger("\xC3\xBC"
                              "bersicht",
                              "GR\xC3\x96\xC3\x9F"
                              "E",
                              0),
              1);
    EXPECT_FALSE(ini.valueExists("uebersicht", "Groesse"));

    ini.writeBool(
        "\xC3\xBC"
        "bersicht",
        "showmenu", true);
    ini.close();
    EXPECT_EQ(get("t.ini"),
              "[\xC3\x9C"
              "bersicht]\r\nGr\xC3\xB6\xC3\x9F"
              "e=1\r\nShowmenu=1\r\n");
}

TEST_F(IniFileTest, FirstOfDuplicatesCountsAndEraseRemovesAll) {
    put("t.ini", "[A]\nk=1\nk=2\n[B]\nb=1\n[a]\nk=3\nz=9\n");
    IniFile ini(path("t.ini"));
    EXPECT_EQ(ini.readString("A", "k", ""), "1");
    EXPECT_FALSE(ini.valueExists("A", "z"));
    ini.writeString("A", "K", "5");
    EXPECT_EQ(ini.readString("A", "k", ""), "5");
    ini.updateFile();
    EXPECT_EQ(get("t.ini"), "[A]\r\nk=5\r\nk=2\r\n[B]\r\nb=1\r\n[a]\r\nk=3\r\nz=9\r\n");

    ini.eraseSection("a");
    EXPECT_FALSE(ini.sectionExists("A"));
    EXPECT_EQ(ini.readString("A", "k", "gone"), "gone");
    ini.close();
    EXPECT_EQ(get("t.ini"), "[B]\r\nb=1\r\n");
}

// A file that a runaway writer filled with copies of one section: cleaning
// it up at start must take one pass, not one pass per copy.
TEST_F(IniFileTest, MillionCopiesOfASectionOrKeyGoInOnePass) {
    constexpr int kCopies = 1'000'000;
    std::string text = "[Settings]\r\nNotizanzahl=1\r\n";
    for (int i = 0; i < kCopies; ++i) text += "[Notiz50]\r\n";
    text += "[Notiz1]\r\n";
    for (int i = 0; i < kCopies / 10; ++i) text += "NotizTitel=x\r\n";
    text += "active=1\r\n[notiz1]\r\nnotiztitel=y\r\nFlags=0\r\n";
    put("t.ini", text);
    IniFile ini(path("t.ini"));
    ini.eraseSection("Notiz50");
    ini.deleteKey("Notiz1", "NotizTitel");
    ini.close();
    EXPECT_EQ(get("t.ini"),
              "[Settings]\r\nNotizanzahl=1\r\n[Notiz1]\r\nactive=1\r\n[notiz1]\r\nFlags=0\r\n");
}

TEST_F(IniFileTest, LineBreaksInValuesCannotForgeKeys) {
    {
        IniFile ini(path("t.ini"));
        ini.writeString("Notiz1", "NotizTitel", "x\r\n[Settings]\nNotizanzahl=9");
    }
    IniFile ini(path("t.ini"));
    EXPECT_FALSE(ini.sectionExists("Settings"));
    EXPECT_EQ(ini.readString("Notiz1", "NotizTitel", ""), "x  [Settings] Notizanzahl=9");
}

TEST_F(IniFileTest, ObjectsOnOnePathShareOneDocument) {
    put("Tavelin.ini", "[Settings]\nNotizanzahl=1\n");
    auto first = std::make_unique<IniFile>(path("Tavelin.ini"));
    auto second = std::make_unique<IniFile>(path("./Tavelin.ini"));
    first->writeInteger("Settings", "Notizanzahl", 2);
    EXPECT_EQ(second->readInteger("Settings", "Notizanzahl", 0), 2);
    second->writeBool("Notiz2", "active", true);
    first->close();
    second->close();
    EXPECT_EQ(get("Tavelin.ini"), "[Settings]\r\nNotizanzahl=2\r\n\r\n[Notiz2]\r\nactive=1\r\n");

    // Once the last object has closed, the next one reads the disk again.
    put("Tavelin.ini", "[Settings]\nNotizanzahl=7\n");
    EXPECT_EQ(IniFile(path("Tavelin.ini")).readInteger("Settings", "Notizanzahl", 0), 7);
}

TEST_F(IniFileTest, DestructorWritesPendingChanges) {
    { IniFile(path("t.ini")).writeString("Settings", "Hotkey_Vordergrund", "X"); }
    EXPECT_EQ(get("t.ini"), "[Settings]\r\nHotkey_Vordergrund=X\r\n");
}

TEST_F(IniFileTest, HoldGathersEveryWriteOnThePathIntoOne) {
    const std::string old = "[Settings]\r\nNotizanzahl=1\r\n";
    put("Tavelin.ini", old);
    {
        IniWriteHold hold(path("Tavelin.ini"));
        for (int n = 1; n <= 3; ++n) {
            IniFile ini(path("Tavelin.ini"));
            ini.writeInteger("Notiz" + std::to_string(n), "Left", n);
            ini.close();
        }
        EXPECT_EQ(get("Tavelin.ini"), old);
        hold.commit();
        EXPECT_EQ(get("Tavelin.ini"), old +
                                          "\r\n[Notiz1]\r\nLeft=1\r\n\r\n[Notiz2]\r\nLeft=2\r\n"
                                          "\r\n[Notiz3]\r\nLeft=3\r\n");
        // After the commit, writes go to the disk as before.
        IniFile ini(path("Tavelin.ini"));
        ini.writeInteger("Settings", "Notizanzahl", 3);
        ini.close();
        EXPECT_NE(get("Tavelin.ini").find("Notizanzahl=3"), std::string::npos);
    }

    // A refused write leaves the file as it was and says so; a hold left
    // without commit still writes what it gathered.
    const std::string before = get("Tavelin.ini");
    {
        IniWriteHold hold(path("Tavelin.ini"));
        IniFile(path("Tavelin.ini")).writeString("Notiz4", "NotizTitel", std::string(100000, 'x'));
        FileSizeLimit limit(4096);
        EXPECT_THROW(hold.commit(), IniError);
        EXPECT_EQ(get("Tavelin.ini"), before);
    }
    {
        IniWriteHold hold(path("Tavelin.ini"));
        IniFile(path("Tavelin.ini")).writeInteger("Notiz5", "Top", 5);
    }
    EXPECT_NE(get("Tavelin.ini").find("[Notiz5]\r\nTop=5"), std::string::npos);
    EXPECT_EQ(entries(), 1u);
}

TEST_F(IniFileTest, Windows1252InAndOut) {
    put("t.ini",
        "[Notiz1]\nNotizTitel=\"M\xFC"
        "ll \x80 \x81\"\n");
    {
        IniFile ini(path("t.ini"));
        EXPECT_EQ(ini.readString("Notiz1", "NotizTitel", ""),
                  "M\xC3\xBC"
                  "ll \xE2\x82\xAC \xC2\x81");
        ini.writeString("Notiz1",
                        "Gr\xC3\xB6\xC3\x9F"
                        "e",
                        "\xC3\x84");
    }
    EXPECT_EQ(get("t.ini"),
              "[Notiz1]\r\nNotizTitel=\"M\xFC"
              "ll \x80 \x81\"\r\nGr\xF6\xDF"
              "e=\xC4\r\n");

    { IniFile(path("new.ini")).writeString("S", "k", "\xC3\xA4"); }
    EXPECT_EQ(get("new.ini"), "[S]\r\nk=\xE4\r\n");
}

TEST_F(IniFileTest, ValueOutsideWindows1252TurnsFileIntoUtf8WithBom) {
    put("t.ini", "[S]\nalt=\xE4\n");
    { IniFile(path("t.ini")).writeString("S", "neu", "\xE2\x86\x92"); }  // →
    EXPECT_EQ(get("t.ini"), "\xEF\xBB\xBF[S]\r\nalt=\xC3\xA4\r\nneu=\xE2\x86\x92\r\n");

    IniFile ini(path("t.ini"));
    EXPECT_EQ(ini.readString("s", "ALT", ""), "\xC3\xA4");
    ini.writeString("S", "third", "o");
    ini.close();
    EXPECT_EQ(get("t.ini").substr(0, 3), "\xEF\xBB\xBF");
}

// "Ç¿" in Windows-1252 is C7 BF, which is also UTF-8 for "ǿ": a file with
// no other such byte would come back as other text, so it is written as
// UTF-8 with a BOM. With an umlaut beside it, it stays Windows-1252.
TEST_F(IniFileTest, Windows1252ThatWouldReadAsUtf8IsWrittenWithBom) {
    const std::string typed = "1 \xC3\x87\xC2\xBF";
    put("t.ini", "[S]\nalt=a\n");
    { IniFile(path("t.ini")).writeString("S", "neu", typed); }
    EXPECT_EQ(get("t.ini"), "\xEF\xBB\xBF[S]\r\nalt=a\r\nneu=" + typed + "\r\n");
    EXPECT_EQ(IniFile(path("t.ini")).readString("S", "neu", ""), typed);

    put("u.ini", "[S]\nalt=\xE4\n");
    { IniFile(path("u.ini")).writeString("S", "neu", typed); }
    EXPECT_EQ(get("u.ini"), "[S]\r\nalt=\xE4\r\nneu=1 \xC7\xBF\r\n");
    EXPECT_EQ(IniFile(path("u.ini")).readString("S", "neu", ""), typed);
}

TEST_F(IniFileTest, Utf8WithoutBomStaysSo) {
    put("t.ini", "[S]\nk=\xC3\xA4\n");
    {
        IniFile ini(path("t.ini"));
        EXPECT_EQ(ini.readString("S", "k", ""), "\xC3\xA4");
        ini.writeString("S", "m", "\xC3\xB6");
    }
    EXPECT_EQ(get("t.ini"), "[S]\r\nk=\xC3\xA4\r\nm=\xC3\xB6\r\n");
}

TEST_F(IniFileTest, Utf16LeWithBomStaysSo) {
    // "[S]\r\nk=ä\r\n" with a non-BMP character after the ä
    const std::string utf16("\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0\xE4\0\x3D\xD8\x00\xDE\r\0\n\0", 26);
    put("t.ini", utf16);
    {
        IniFile ini(path("t.ini"));
        EXPECT_EQ(ini.readString("S", "k", ""), "\xC3\xA4\xF0\x9F\x98\x80");
        ini.writeString("S", "m", "\xC3\xB6");
    }
    EXPECT_EQ(get("t.ini"), utf16 + std::string("m\0=\0\xF6\0\r\0\n\0", 10));
}

TEST_F(IniFileTest, Windows1252ThatWouldReadAsUtf8IsWrittenWithAMark) {
    // "Maß…" in Windows-1252 is DF 85, which is also valid UTF-8 (U+07C5).
    const std::string title = "Ma\xC3\x9F\xE2\x80\xA6";
    put("t.ini", "[Settings]\r\nNotizanzahl=1\r\n");
    { IniFile(path("t.ini")).writeString("Notiz1", "NotizTitel", title); }
    EXPECT_EQ(get("t.ini").substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_EQ(IniFile(path("t.ini")).readString("Notiz1", "NotizTitel", ""), title);

    // Bytes that are no UTF-8 keep the file in Windows-1252.
    put("u.ini", "[Notiz1]\r\nNotizTitel=M\xFCller\r\n");
    { IniFile(path("u.ini")).writeString("Notiz2", "NotizTitel", title); }
    EXPECT_EQ(get("u.ini"),
              "[Notiz1]\r\nNotizTitel=M\xFCller\r\n\r\n[Notiz2]\r\nNotizTitel=Ma\xDF\x85\r\n");
    EXPECT_EQ(IniFile(path("u.ini")).readString("Notiz2", "NotizTitel", ""), title);
}

TEST_F(IniFileTest, UnchangedLinesGoBackByteForByte) {
    // Stray bytes after a UTF-8 mark, a second mark, and a UTF-16 file with
    // half a unit at its end: none of it can be decoded cleanly, all of it
    // must survive a write elsewhere in the file.
    const std::string garbage = "M\xFCll \xFF\xFE\x00 x";
    put("a.ini", "\xEF\xBB\xBF\xEF\xBB\xBF[Settings]\r\n" + garbage + "\r\nNotizanzahl=1\r\n");
    {
        IniFile ini(path("a.ini"));
        EXPECT_EQ(ini.readInteger("Settings", "Notizanzahl", 0), 1);
        ini.writeInteger("Settings", "Notizanzahl", 2);
    }
    EXPECT_EQ(get("a.ini"),
              "\xEF\xBB\xBF\xEF\xBB\xBF[Settings]\r\n" + garbage + "\r\nNotizanzahl=2\r\n");

    const std::string utf16("\xFF\xFE\x00\xD8x\0\r\0\n\0[\0S\0]\0\r\0\n\0", 18);
    put("b.ini", utf16 + "k");
    { IniFile(path("b.ini")).writeString("S", "m", "1"); }
    EXPECT_EQ(get("b.ini").substr(0, utf16.size()), utf16);
    EXPECT_EQ(IniFile(path("b.ini")).readString("S", "m", ""), "1");
}

TEST_F(IniFileTest, Utf16BigEndianIsReadAndKept) {
    const std::string utf16("\xFE\xFF\0[\0S\0]\0\r\0\n\0k\0=\0\xE4\0\r\0\n", 22);
    put("t.ini", utf16);
    {
        IniFile ini(path("t.ini"));
        EXPECT_EQ(ini.readString("S", "k", ""), "\xC3\xA4");
        ini.writeString("S", "m", "\xC3\xB6");
    }
    EXPECT_EQ(get("t.ini"), utf16 + std::string("\0m\0=\0\xF6\0\r\0\n", 10));
}

TEST_F(IniFileTest, EveryNameComesBackAndIsWrittenOnce) {
    // Titles the user types become section names of the hidden-notes file.
    const std::string names[] = {
        "Termine [Mai]  ", "a=b",     ";x",  "#y",  "[z",       "w]",
        "c\r\nd",          "tab\tin", "50%", "%41", "bad\xFFx", "Ma\xC3\x9F"};
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        for (int round = 0; round < 3; ++round) {
            IniFile ini(path("uns.ini"));
            ini.writeString(name, "intname", "Notiz3");
            ini.writeString("Keys", name, "v");
            ini.close();
        }
        const std::string once = get("uns.ini");
        {
            IniFile ini(path("uns.ini"));
            EXPECT_EQ(ini.readString(name, "intname", ""), "Notiz3");
            EXPECT_EQ(ini.readString("Keys", name, ""), "v");
            EXPECT_TRUE(ini.sectionExists(name));
            EXPECT_TRUE(ini.valueExists("Keys", name));
            ini.writeString(name, "intname", "Notiz3");
        }
        EXPECT_EQ(get("uns.ini"), once);
    }
    // Each name has a place of its own; "%41" is not taken for "A".
    IniFile ini(path("uns.ini"));
    EXPECT_FALSE(ini.sectionExists("A"));
    EXPECT_FALSE(ini.valueExists("Keys", "a"));
    EXPECT_FALSE(ini.sectionExists("c  d"));
    // Names the file could always hold are written as they are.
    EXPECT_NE(get("uns.ini").find("[Termine [Mai]  ]\r\nintname=Notiz3\r\n"), std::string::npos);
}

TEST_F(IniFileTest, RefusedWriteKeepsOldFileAndCanBeRetried) {
    const std::string old = "[Settings]\r\nNotizanzahl=1\r\n";
    put("Tavelin.ini", old);
    IniFile ini(path("Tavelin.ini"));
    ini.writeString("Notiz1", "NotizTitel", std::string(100000, 'x'));
    try {
        FileSizeLimit limit(4096);
        ini.updateFile();
        FAIL() << "no error";
    } catch (const IniError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "nach " + path("Tavelin.ini") + " kann nicht geschrieben werden");
    }
    EXPECT_EQ(get("Tavelin.ini"), old);
    EXPECT_EQ(entries(), 1u);

    ini.close();  // the change is still pending and goes out now
    EXPECT_EQ(IniFile(path("Tavelin.ini")).readString("Notiz1", "NotizTitel", "").size(), 2047u);
}

TEST_F(IniFileTest, SettingsFileAbove16MegabytesIsRefusedAndKept) {
    put("Tavelin.ini", "[Settings]\r\n");
    fs::resize_file(path("Tavelin.ini"), (16u << 20) + 1);  // sparse: costs no disk
    try {
        IniFile ini(path("Tavelin.ini"));
        FAIL() << "no error";
    } catch (const IniError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Die Datei " + path("Tavelin.ini") +
                                                  " ist größer als 16 MB",
                                              0),
                  0u);
    }
    EXPECT_EQ(fs::file_size(path("Tavelin.ini")), (16u << 20) + 1);
}

TEST_F(IniFileTest, DirectoryInPlaceOfFileIsAnError) {
    fs::create_directory(path("Tavelin.ini"));
    try {
        IniFile ini(path("Tavelin.ini"));
        FAIL() << "no error";
    } catch (const IniError& e) {
        EXPECT_EQ(std::string(e.what()), path("Tavelin.ini") + " kann nicht gelesen werden");
    }
    EXPECT_TRUE(fs::is_directory(path("Tavelin.ini")));

    // Appearing after the open, it makes the write fail, not vanish.
    fs::remove(path("Tavelin.ini"));
    IniFile ini(path("Tavelin.ini"));
    ini.writeInteger("Settings", "Notizanzahl", 1);
    fs::create_directory(path("Tavelin.ini"));
    EXPECT_THROW(ini.updateFile(), IniError);
    fs::remove(path("Tavelin.ini"));
    ini.updateFile();
    EXPECT_EQ(get("Tavelin.ini"), "[Settings]\r\nNotizanzahl=1\r\n");
}

}  // namespace
}  // namespace tav
