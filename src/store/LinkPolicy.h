#pragma once
// What a click on a link in note text may do. Note files come from anyone
// (an import, a copied folder), so a link opens without a question only when
// it is plainly a web or mail address and shows what it is. Everything else
// is asked about with its real target in view, or refused. A program is
// never started from a link: its folder is shown with it selected.

#include <functional>
#include <string>
#include <string_view>

namespace tav {

enum class LinkAction { Open, AskFirst, Refuse };

struct LinkDecision {
    LinkAction action = LinkAction::Refuse;
    // What goes to the shell: the link itself, "www." with "http://" in
    // front, or for a file link the local or UNC path it names.
    std::string target;
    // For AskFirst: the German question, with the target in it.
    std::string question;
    // A program type: its folder opens with it selected instead.
    bool showInFolder = false;
};

// Whether a file type (the extension in lower case, without its dot) starts
// code when opened; the built-in list of program types is checked anyway.
using DangerousType = std::function<bool(std::string_view extension)>;

// link: the link's text as the control holds it, which for a field with a
// friendly name is 'HYPERLINK "target"shown text'. shown: what the reader
// sees of it; hidden text left out.
LinkDecision decideLink(std::string_view link, std::string_view shown,
                        const DangerousType& dangerous = {});

}  // namespace tav
