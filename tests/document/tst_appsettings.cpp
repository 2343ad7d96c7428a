#include "document/appsettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace lumivex::document;

class TstAppSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void programFolderIsCreated();
    void shippedSamplesExist();
    void missingFileReadsEmpty();
    void readSetting_data();
    void readSetting();
    void writeSettingKeepsValueAndOtherKeys();
    void failedWriteIsQuiet();
    void folderOfChosenFile_data();
    void folderOfChosenFile();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TstAppSettings::initTestCase()
{
    QCoreApplication::setOrganizationName(QString());
    QCoreApplication::setApplicationName(QStringLiteral("Lumivex"));
}

void TstAppSettings::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TstAppSettings::programFolderIsCreated()
{
    // A fresh per-user data folder, so that the folder really has to be made.
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    const auto restore = qScopeGuard([&] { qputenv("XDG_DATA_HOME", saved); });
    qputenv("XDG_DATA_HOME", QFile::encodeName(path("data")));
    const QString expected = path("data/Lumivex");
    QVERIFY(!QFileInfo::exists(expected));

    QCOMPARE(programFolder(), expected);
    QVERIFY(QFileInfo(expected).isDir());
    QCOMPARE(AppSettings().settingsFilePath(), expected + QStringLiteral("/Lumivex2.lvs"));

    // The default file is usable like any other.
    const AppSettings settings;
    QVERIFY(settings.WriteSetting(AppSettings::kEditerPath, QStringLiteral("/usr/bin/gimp")));
    QCOMPARE(settings.ReadSetting(AppSettings::kEditerPath), QStringLiteral("/usr/bin/gimp"));
}

void TstAppSettings::shippedSamplesExist()
{
    QVERIFY(QFileInfo(samplesFolder()).isDir());
    QCOMPARE(QFileInfo(samplesFolder()).dir().absolutePath(),
             QFileInfo(shippedFolder()).absoluteFilePath());
}

void TstAppSettings::missingFileReadsEmpty()
{
    const AppSettings settings(path("none.lvs"));
    for (const char *key : {AppSettings::kEditerPath, AppSettings::kLvdFileDir,
                            AppSettings::kPicDesignDir, AppSettings::kPicFieldDir,
                            AppSettings::kPicStereoDir})
        QCOMPARE(settings.ReadSetting(key), QString());
    QVERIFY(!QFileInfo::exists(path("none.lvs"))); // reading creates nothing
}

void TstAppSettings::readSetting_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("expected");

    const QByteArray longPath = "/" + QByteArray(299, 'p');
    QTest::newRow("hand-written blanks")
        << QByteArray("[Lumivex Ver.2]\npicDesignDir=  /home/u/pics \t\n")
        << QStringLiteral("/home/u/pics");
    QTest::newRow("cut to 255") << "[Lumivex Ver.2]\npicDesignDir=" + longPath + "\n"
                                << QString::fromLatin1(longPath.left(255));
    QTest::newRow("key in another case")
        << QByteArray("[lumivex ver.2]\nPICDESIGNDIR=/pics\n") << QStringLiteral("/pics");
    QTest::newRow("other section only")
        << QByteArray("[Other]\npicDesignDir=/pics\n") << QString();
    QTest::newRow("other key only")
        << QByteArray("[Lumivex Ver.2]\npicFieldDir=/pics\n") << QString();
}

void TstAppSettings::readSetting()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, expected);

    QFile out(path("a.lvs"));
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(file);
    out.close();
    QCOMPARE(AppSettings(path("a.lvs")).ReadSetting(AppSettings::kPicDesignDir), expected);
}

void TstAppSettings::writeSettingKeepsValueAndOtherKeys()
{
    const AppSettings settings(path("a.lvs"));
    QVERIFY(settings.WriteSetting(AppSettings::kPicDesignDir, QStringLiteral("/pics")));
    QVERIFY(settings.WriteSetting(AppSettings::kPicFieldDir, QStringLiteral(" /fields ")));
    QVERIFY(settings.WriteSetting(AppSettings::kPicDesignDir, QStringLiteral("/pics2")));

    QFile file(path("a.lvs"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("[Lumivex Ver.2]\npicDesignDir=/pics2\n"
                                        "picFieldDir= /fields \n"));
    QCOMPARE(settings.ReadSetting(AppSettings::kPicFieldDir), QStringLiteral("/fields"));
}

void TstAppSettings::failedWriteIsQuiet()
{
    const AppSettings settings(path("missing/a.lvs"));
    QVERIFY(!settings.WriteSetting(AppSettings::kLvdFileDir, QStringLiteral("/x")));
    QCOMPARE(settings.ReadSetting(AppSettings::kLvdFileDir), QString());
}

void TstAppSettings::folderOfChosenFile_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("folder");

    QTest::newRow("plain") << "/pics/a.bmp" << "/pics";
    QTest::newRow("deeper") << "/home/u/画像/デザイン 1.bmp" << "/home/u/画像";
    QTest::newRow("root") << "/a.bmp" << "/";
    QTest::newRow("doubled separator") << "/pics//a.bmp" << "/pics";
    QTest::newRow("no extension") << "/pics/a" << "/pics";
    QTest::newRow("dot in folder") << "/my.pics/a" << "/my.pics";
}

void TstAppSettings::folderOfChosenFile()
{
    QFETCH(QString, chosen);
    QFETCH(QString, folder);

    QCOMPARE(FolderOfChosenFile(chosen), folder);
}

QTEST_GUILESS_MAIN(TstAppSettings)
#include "tst_appsettings.moc"
