#pragma once

class QCoreApplication;

namespace lumivex::shell {

/// Makes the program's standard dialogs Japanese: sets the default locale to Japanese (Japan)
/// and installs Qt's own Japanese translations ("qtbase_ja"), so message boxes say
/// はい / いいえ / キャンセル and file dialogs are Japanese. When the translations are not
/// installed the dialogs stay in English; nothing else changes.
void installTranslations(QCoreApplication &app);

} // namespace lumivex::shell
