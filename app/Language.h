#pragma once

#include <QLocale>
#include <QString>

class QCoreApplication;

// Which language the editor speaks. The source texts are the program's own
// (Chinese menus and prompts, English captions and messages); the Chinese
// translation keeps them as they are, the English one puts the Chinese ones
// in English. A system with no locale at all (C or POSIX) gets the source
// texts untouched.
namespace Language {

enum Choice { System, English, Chinese };

// The choice kept in the settings (Help > Language); System when none.
Choice Saved();
void Save(Choice choice);

// The translation a choice picks on a system with this locale: "en",
// "zh_TW", or empty for none.
QString TranslationFor(Choice choice, const QLocale &system);

// Loads and installs the translation the saved choice picks for the
// system's locale, and Qt's own that goes with it (Chinese whenever the
// program's texts are), replacing those installed before. False when the
// program's translation could not be loaded (the source texts then stand);
// Qt's translation missing is no failure.
bool Install(Choice choice, const QLocale &system = QLocale::system());

} // namespace Language
