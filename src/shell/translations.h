#pragma once

#include <QString>

class QCoreApplication;

namespace lumivex::shell {

/// The language of the interface. Japanese is the program's own text; English comes from the
/// shipped translation lumivex_en.qm.
enum class Language { Japanese, English };

/// The language a user is shown, given what LUMIVEX_LANG holds and the desktop's locale name:
/// LUMIVEX_LANG "ja" or "en" decides; otherwise English when the locale's name starts with "en"
/// (en_US, en_GB, ...); Japanese for everything else, the C locale included.
Language languageFor(const QString &override, const QString &localeName);

/// languageFor() of this process: LUMIVEX_LANG and QLocale::system(), which follows LANGUAGE,
/// LC_ALL, LC_MESSAGES and LANG.
Language chosenLanguage();

/// Makes the whole interface speak the language: the program's texts, Qt's own dialogs (message
/// box buttons, file dialogs) and the default locale. Japanese installs Qt's Japanese texts
/// ("qtbase_ja"), which leave the dialogs in English when they are not installed; English
/// installs lumivex_en.qm. Without lumivex_en.qm the interface stays Japanese throughout rather
/// than mixing the two. Replaces what an earlier call installed. Returns the language installed.
Language installTranslations(QCoreApplication &app, Language language);
/// installTranslations(app, chosenLanguage()): what the program does at start-up.
Language installTranslations(QCoreApplication &app);

/// The language installTranslations() installed last; Japanese before any call.
Language currentLanguage();

/// The help page, relative to the shipped folder, in the current language:
/// "Help/Help01.htm" or "Help/Help01_en.htm".
QString helpPageName();

/// The folder holding lumivex_en.qm: share/lumivex/translations beside an installed program, the
/// build tree's translations folder otherwise.
QString translationsFolder();

} // namespace lumivex::shell
