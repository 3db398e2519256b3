#include <gtest/gtest.h>

#include <string>

#include "store/LinkPolicy.h"

namespace tav {
namespace {

LinkDecision plain(const std::string& link) { return decideLink(link, link); }

TEST(LinkPolicyTest, OnlyWebAndMailAddressesOpenWithoutAQuestion) {
    for (const char* link : {"http://example.com/a?b=1", "HTTPS://example.com",
                             "mailto:anna@example.com", "https://example.com/%E2%80%AE"}) {
        const LinkDecision d = plain(link);
        EXPECT_EQ(LinkAction::Open, d.action) << link;
        EXPECT_EQ(link, d.target);
    }
    EXPECT_EQ("mailto:anna@example.com", plain("e-mail:anna@example.com").target);
    EXPECT_EQ("http://www.example.com", plain("www.example.com").target);
    for (const char* link : {"ftp://ftp.example.com/x", "news:de.comp.lang"}) {
        const LinkDecision d = plain(link);
        EXPECT_EQ(LinkAction::AskFirst, d.action) << link;
        EXPECT_NE(std::string::npos, d.question.find(link));
    }
    for (const char* link :
         {"javascript:alert(1)", "C:\\Windows\\system32\\cmd.exe", "shell:startup", "ms-settings:",
          "http:", "\\\\server\\share\\x.exe", "hcp://system", "telnet://host", "gopher://g",
          "search-ms:query=x&crumb=location:\\\\evil\\s", "http://example.com/\xE2\x80\xAEgpj.exe",
          "http://a\r\nb", ""})
        EXPECT_EQ(LinkAction::Refuse, plain(link).action) << link;
}

TEST(LinkPolicyTest, FileLinksAreFullPathsAskedAboutAsTheyAre) {
    const LinkDecision local = plain("file:///C:/Briefe/Mai%202024.txt");
    EXPECT_EQ(LinkAction::AskFirst, local.action);
    EXPECT_EQ("C:\\Briefe\\Mai 2024.txt", local.target);
    EXPECT_FALSE(local.showInFolder);
    EXPECT_EQ("Wollen Sie diese Datei wirklich öffnen?\r\n\r\nC:\\Briefe\\Mai 2024.txt",
              local.question);
    EXPECT_EQ("C:\\x.txt", plain("FILE:C:\\x.txt").target);
    EXPECT_EQ("C:\\x.txt", plain("file:/C|/x.txt").target);

    const LinkDecision unc = plain("file://server/share/a.doc");
    EXPECT_EQ(LinkAction::AskFirst, unc.action);
    EXPECT_EQ("\\\\server\\share\\a.doc", unc.target);
    EXPECT_NE(std::string::npos, unc.question.find("anderen Rechner"));
    EXPECT_NE(local.question.substr(0, 20), unc.question.substr(0, 20));

    // Nothing but a drive or a server and share; no stream, device or
    // deceptive character, also when it comes percent-encoded.
    for (const char* link :
         {"file:", "file:calc", "file:calc.exe", "file:shell:startup", "file:Briefe/x.txt",
          "file:search-ms:query=x&crumb=location:%5C%5Cevil%5Cs", "file:///C:", "file:C:x.txt",
          "file://server", "file://server/", "file:////?/C:/x.txt", "file://./pipe/x",
          "file:///C:/x.txt:evil.exe", "file:///C:/Rechnung%E2%80%AEfdp.exe",
          "file:///C:/a.txt%0D%0A%0D%0Ab.exe", "file:///C:/a%00.txt", "file:///C:/a%FF.txt",
          "file:///C:/a\xE2\x80\x8B.txt"})
        EXPECT_EQ(LinkAction::Refuse, plain(link).action) << link;
}

TEST(LinkPolicyTest, ProgramsAreShownInTheirFolderNotRun) {
    for (const char* link :
         {"file:///C:/x/setup.EXE", "file:///C:/x/a.bat", "file:///C:/x/a.cmd", "file:///C:/x/a.com",
          "file:///C:/x/a.scr", "file:///C:/x/a.js", "file:///C:/x/a.vbs", "file:///C:/x/a.lnk",
          "file:///C:/x/a.msi", "file:///C:/x/a.exe.", "file:///C:/x/a.exe%20", "file:///C:/x/calc",
          "file://server/share/tool.exe"}) {
        const LinkDecision d = plain(link);
        EXPECT_EQ(LinkAction::AskFirst, d.action) << link;
        EXPECT_TRUE(d.showInFolder) << link;
        EXPECT_NE(std::string::npos, d.question.find("Ordner öffnen?")) << link;
    }
    const auto dangerous = [](std::string_view type) { return type == "hta"; };
    EXPECT_TRUE(decideLink("file:///C:/a.HTA", "file:///C:/a.HTA", dangerous).showInFolder);
    EXPECT_FALSE(decideLink("file:///C:/a.pdf", "file:///C:/a.pdf", dangerous).showInFolder);
}

TEST(LinkPolicyTest, TextThatIsNotTheTargetAsksWithTheTargetShown) {
    const LinkDecision field =
        decideLink("HYPERLINK \"http://evil.example/\"Ihre Bank", "Ihre Bank");
    EXPECT_EQ(LinkAction::AskFirst, field.action);
    EXPECT_EQ("http://evil.example/", field.target);
    EXPECT_NE(std::string::npos, field.question.find("http://evil.example/"));

    // The field's text is the address itself: nothing to ask.
    EXPECT_EQ(LinkAction::Open,
              decideLink("HYPERLINK \"http://a.example/\"http://a.example/", "").action);

    // Hidden text inside an address the control found by itself.
    const LinkDecision hidden = decideLink("http://bank.evil.example/", "http://bank.example/");
    EXPECT_EQ(LinkAction::AskFirst, hidden.action);
    EXPECT_NE(std::string::npos, hidden.question.find("http://bank.evil.example/"));

    const LinkDecision file = decideLink("HYPERLINK \"file:///C:/x/run.exe\"Rechnung.pdf", "");
    EXPECT_TRUE(file.showInFolder);
    EXPECT_NE(std::string::npos, file.question.find("C:\\x\\run.exe"));
    EXPECT_EQ(LinkAction::Refuse, decideLink("HYPERLINK \"shell:startup\"Bilder", "").action);
}

}  // namespace
}  // namespace tav
