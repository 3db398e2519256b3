// Text and format commands of the note window.

#include "note/Tavelinpro2.h"

namespace tav {

// Flip once the commands below do their work: their menu items and buttons
// are greyed until then.
const bool kTextCommandsBuilt = false;

struct TForm2::TextDialogs {};

void TForm2::TextDialogsDeleter::operator()(TextDialogs* p) const { delete p; }

void TForm2::initTextCommands() {}

void TForm2::kopieren1Click() {}
void TForm2::ausschneiden1Click() {}
void TForm2::Text2Click() {}
void TForm2::Objekt1Click() {}
void TForm2::allesmarkieren1Click() {}
void TForm2::rckgngig1Click() {}
void TForm2::Schrift2Click() {}
void TForm2::Schrifteffekte1Click() {}
void TForm2::MemoFarbe1Click() {}
void TForm2::linksbClick() {}
void TForm2::zentrClick() {}
void TForm2::rechtsbClick() {}
void TForm2::aufz1Click() {}
void TForm2::memo1SelectionChange() {}
void TForm2::Zeilenumbruch1Click() {}
void TForm2::Notizdrucken1Click() {}
void TForm2::memo1URLClick(const std::string& /*link*/) {}
void TForm2::Notizexport1Click() {}
void TForm2::Notizimportieren1Click() {}

}  // namespace tav
