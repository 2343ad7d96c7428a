#include "translations.h"

#include "document/appsettings.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace lumivex::shell {

namespace {

// The translators this file installed carry this name, so that a later call can take them out.
const QString kOurs = QStringLiteral("lumivexTranslator");

Language g_current = Language::Japanese;

void removeOurs(QCoreApplication &app)
{
    const QList<QTranslator *> installed = app.findChildren<QTranslator *>(kOurs, Qt::FindDirectChildrenOnly);
    for (QTranslator *translator : installed) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
}

bool install(QCoreApplication &app, const QLocale &locale, const QString &name, const QString &folder)
{
    // Parented to the application, so it lives exactly as long as the texts it translates.
    auto *translator = new QTranslator(&app);
    translator->setObjectName(kOurs);
    if (translator->load(locale, name, QStringLiteral("_"), folder) && QCoreApplication::installTranslator(translator))
        return true;
    delete translator;
    return false;
}

} // namespace

Language languageFor(const QString &override, const QString &localeName)
{
    if (override == u"ja")
        return Language::Japanese;
    if (override == u"en")
        return Language::English;
    return localeName.startsWith(u"en") ? Language::English : Language::Japanese;
}

Language chosenLanguage()
{
    return languageFor(qEnvironmentVariable("LUMIVEX_LANG").trimmed().toLower(), QLocale::system().name());
}

Language installTranslations(QCoreApplication &app, Language language)
{
    removeOurs(app);
    if (language == Language::English) {
        // An English desktop keeps its own conventions (en_GB dates, say); English asked for on
        // another desktop gets American English.
        const QLocale system = QLocale::system();
        const QLocale english = system.language() == QLocale::English ? system : QLocale(QLocale::English, QLocale::UnitedStates);
        if (install(app, english, QStringLiteral("lumivex"), translationsFolder())) {
            // Qt's own texts are English already: no translator for them.
            QLocale::setDefault(english);
            g_current = Language::English;
            return g_current;
        }
    }
    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    QLocale::setDefault(japanese);
    install(app, japanese, QStringLiteral("qtbase"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    g_current = Language::Japanese;
    return g_current;
}

Language installTranslations(QCoreApplication &app)
{
    return installTranslations(app, chosenLanguage());
}

Language currentLanguage()
{
    return g_current;
}

QString helpPageName()
{
    return g_current == Language::English ? QStringLiteral("Help/Help01_en.htm") : QStringLiteral("Help/Help01.htm");
}

QString translationsFolder()
{
    const QString installed = document::shippedFolder() + QStringLiteral("/translations");
    if (QFileInfo(installed).isDir())
        return installed;
    return QStringLiteral(LUMIVEX_BUILD_TRANSLATIONS);
}

} // namespace lumivex::shell
