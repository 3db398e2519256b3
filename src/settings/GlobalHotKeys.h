#pragma once
// What the settings dialog needs of the program's two global hot keys. The
// tray controller owns them and implements this, so the dialog can be built
// and tested without the tray controller.

#include <string>

namespace tav {

class GlobalHotKeys {
public:
    virtual ~GlobalHotKeys() = default;

    // Ctrl+Alt plus each stored character; an empty or unusable one gives no
    // hot key. A combination that cannot be registered (another program
    // holds it) is named to the user; the other hot key applies regardless.
    virtual void setHotKeys(const std::string& newNoteLetter,
                            const std::string& foregroundLetter) = 0;
};

}  // namespace tav
