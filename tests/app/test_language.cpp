#include "app/CMainFrame.h"
#include "app/CSkimblerApp.h"
#include "app/Language.h"
#include "common/MessageBoxRecorder.h"
#include "common/ScriptedDialogs.h"
#include "common/TgaTestFiles.h"
#include "panels/CFlagsPanel.h"
#include "panels/CPropertyPanel.h"
#include "res/Resource.h"
#include "surface/CSkimblerDoc.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

// What a user reads first: the File menu's title, its first entries and the
// New command's tool tip.
QStringList FileMenuTexts(const CMainFrame &frame)
{
    QMenu *file = frame.menuBar()->actions().value(0)->menu();
    if (!file)
        return {};
    QStringList texts{file->title()};
    for (QAction *action : file->actions().mid(0, 4))
        texts << action->text();
    texts << frame.CommandAction(Resource::ID_FILE_NEW)->toolTip();
    return texts;
}

const QStringList Chinese{QStringLiteral("檔案(&F)"), QStringLiteral("開新檔案(&N)"), QStringLiteral("開啟舊檔(&O)..."),
                          QStringLiteral("取代影像(&I)..."), QStringLiteral("儲存檔案(&S)"), QStringLiteral("開新檔案")};
const QStringList English{QStringLiteral("&File"), QStringLiteral("&New"),        QStringLiteral("&Open..."),
                          QStringLiteral("Replace &Image..."), QStringLiteral("&Save"), QStringLiteral("New")};

bool HasChinese(const QString &text)
{
    static const QRegularExpression han(QStringLiteral("\\p{Han}"));
    return text.contains(han);
}

} // namespace

class TestLanguage : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_settings;
    QTemporaryDir m_work;
    QString m_oldCwd;

private Q_SLOTS:
    void initTestCase()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings.path());
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_settings.path()));
        m_oldCwd = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_work.path()));
        QVERIFY(TgaTestFiles::WriteSolid(m_work.filePath(QStringLiteral("a.tga")), 8, 4, qRgba(0, 0, 255, 255)));
    }
    void cleanupTestCase() { QDir::setCurrent(m_oldCwd); }
    void cleanup()
    {
        Language::Install(Language::System, QLocale::c());
        Language::Save(Language::System);
    }

    void menusFollowTheLocaleAndTheChoice_data();
    void menusFollowTheLocaleAndTheChoice();
    void choiceIsTakenAtTheNextStart_data();
    void choiceIsTakenAtTheNextStart();
    void textsBeyondTheMenusFollowTheChoice_data();
    void textsBeyondTheMenusFollowTheChoice();
    void everySourceTextIsTranslated_data();
    void everySourceTextIsTranslated();
};

void TestLanguage::menusFollowTheLocaleAndTheChoice_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("choice");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("no locale") << QStringLiteral("C") << int(Language::System) << Chinese;
    QTest::newRow("Taiwan") << QStringLiteral("zh_TW") << int(Language::System) << Chinese;
    QTest::newRow("other Chinese") << QStringLiteral("zh_CN") << int(Language::System) << Chinese;
    QTest::newRow("English") << QStringLiteral("en_US") << int(Language::System) << English;
    QTest::newRow("any other language") << QStringLiteral("fr_FR") << int(Language::System) << English;
    QTest::newRow("English chosen, Chinese system") << QStringLiteral("zh_TW") << int(Language::English) << English;
    QTest::newRow("English chosen, no locale") << QStringLiteral("C") << int(Language::English) << English;
    QTest::newRow("Chinese chosen, English system") << QStringLiteral("en_GB") << int(Language::Chinese) << Chinese;
}

void TestLanguage::menusFollowTheLocaleAndTheChoice()
{
    QFETCH(QString, locale);
    QFETCH(int, choice);
    QFETCH(QStringList, expected);
    MessageBoxRecorder messages;
    QVERIFY(Language::Install(Language::Choice(choice), QLocale(locale)));
    CSkimblerDoc document;
    CMainFrame frame(&document, CancelledDialogs());
    QCOMPARE(frame.OnCreate(), 0);
    QCOMPARE(FileMenuTexts(frame), expected);
}

void TestLanguage::choiceIsTakenAtTheNextStart_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("English") << QStringLiteral("languageEnglish") << English;
    QTest::newRow("Chinese") << QStringLiteral("languageChinese") << Chinese;
}

void TestLanguage::choiceIsTakenAtTheNextStart()
{
    QFETCH(QString, entry);
    QFETCH(QStringList, expected);
    MessageBoxRecorder messages;
    // Start in the other language, whatever this system's locale says.
    Language::Save(expected == English ? Language::Chinese : Language::English);
    auto app = std::make_unique<CSkimblerApp>();
    QVERIFY(app->InitInstance({}));
    const QStringList before = FileMenuTexts(*app->GetMainWnd());
    QVERIFY(before != expected);
    messages.messages.clear();

    auto *action = app->GetMainWnd()->findChild<QAction *>(entry);
    QVERIFY(action);
    action->trigger();
    // Said once, and the open window stays as it was.
    QCOMPARE(messages.messages.size(), 1);
    QCOMPARE(messages.messages.first().icon, MessageBox::Information);
    QCOMPARE(FileMenuTexts(*app->GetMainWnd()), before);
    action->trigger();
    QCOMPARE(messages.messages.size(), 1);

    app.reset();
    app = std::make_unique<CSkimblerApp>();
    QVERIFY(app->InitInstance({}));
    QCOMPARE(FileMenuTexts(*app->GetMainWnd()), expected);
    QVERIFY(app->GetMainWnd()->findChild<QAction *>(entry)->isChecked());
}

void TestLanguage::textsBeyondTheMenusFollowTheChoice_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("choice");
    QTest::addColumn<QString>("screenMenu");
    QTest::addColumn<bool>("chinese");
    QTest::addColumn<QString>("undo");
    QTest::newRow("English") << QStringLiteral("zh_TW") << int(Language::English) << QStringLiteral("Target Sc&reen")
                             << false << QStringLiteral("&Undo Move");
    QTest::newRow("Chinese") << QStringLiteral("en_US") << int(Language::Chinese) << QStringLiteral("目標螢幕(&R)")
                             << true << QStringLiteral("復原 Move(&U)");
    QTest::newRow("no locale") << QStringLiteral("C") << int(Language::System) << QStringLiteral("目標螢幕(&R)") << true
                               << QStringLiteral("復原 Move(&U)");
    QTest::newRow("C.UTF-8") << QStringLiteral("C.UTF-8") << int(Language::System) << QStringLiteral("目標螢幕(&R)")
                             << true << QStringLiteral("復原 Move(&U)");
}

// The screen-shape menu, every Property and Flags row's tool tip and Qt's own dialog
// buttons speak the language the menus speak.
void TestLanguage::textsBeyondTheMenusFollowTheChoice()
{
    QFETCH(QString, locale);
    QFETCH(int, choice);
    QFETCH(QString, screenMenu);
    QFETCH(bool, chinese);
    QFETCH(QString, undo);
    MessageBoxRecorder messages;
    QVERIFY(Language::Install(Language::Choice(choice), QLocale(locale)));
    CSkimblerDoc document;
    CMainFrame frame(&document, CancelledDialogs());
    QCOMPARE(frame.OnCreate(), 0);

    // The mnemonic where the language has it; the way to the other language
    // readable in both.
    skimbler::SurfaceSettings moved = document.Settings();
    moved.Points[0][0] = 0.25f;
    QVERIFY(document.ChangeSettings(moved, QStringLiteral("Move")));
    QCOMPARE(frame.CommandAction(Resource::ID_EDIT_UNDO)->text(), undo);
    auto *language = frame.findChild<QMenu *>(QStringLiteral("languageMenu"));
    QVERIFY(language);
    QCOMPARE(language->title(), QStringLiteral("&Language / 語言"));

    auto *shapes = frame.findChild<QMenu *>(QStringLiteral("screenShapeMenu"));
    QVERIFY(shapes);
    QCOMPARE(shapes->title(), screenMenu);

    QVERIFY(frame.OpenToolWindows());
    auto *list = frame.PropertyPanel()->findChild<QTableWidget *>(QStringLiteral("propertyList"));
    QVERIFY(list);
    QVERIFY(list->rowCount() > 0);
    for (int row = 0; row < list->rowCount(); ++row) {
        const QString tip = list->item(row, 0)->toolTip();
        QVERIFY2(!tip.isEmpty() && HasChinese(tip) == chinese, qPrintable(list->item(row, 0)->text()));
        QCOMPARE(list->item(row, 1)->toolTip(), tip);
    }
    auto *flags = frame.FlagsPanel()->findChild<QTableWidget *>(QStringLiteral("flagsList"));
    QVERIFY(flags && flags->rowCount() == 6);
    for (int row = 0; row < flags->rowCount(); ++row) {
        const QString tip = flags->item(row, 0)->toolTip();
        QVERIFY2(!tip.isEmpty() && HasChinese(tip) == chinese, qPrintable(flags->item(row, 0)->text()));
    }

    QDialogButtonBox buttons(QDialogButtonBox::Cancel);
    const QString cancel = buttons.button(QDialogButtonBox::Cancel)->text();
    const QDir qtTranslations(QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (chinese && !qtTranslations.exists(QStringLiteral("qtbase_zh_TW.qm")))
        QSKIP("Qt's translations are not installed");
    QCOMPARE(HasChinese(cancel), chinese);
}

void TestLanguage::everySourceTextIsTranslated_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("English") << QStringLiteral("skimbler_en.ts");
    QTest::newRow("Chinese") << QStringLiteral("skimbler_zh_TW.ts");
}

// lupdate over today's sources into a copy: any text it adds is one the
// translation lacks, any it drops one the file still carries.
void TestLanguage::everySourceTextIsTranslated()
{
    QFETCH(QString, file);
    const QDir source(QStringLiteral(SKIMBLER_SOURCE_DIR));
    QTemporaryDir temporary;
    const QString copy = temporary.filePath(file);
    QVERIFY(QFile::copy(source.filePath(QStringLiteral("translations/") + file), copy));
    QFile committed(copy);
    QVERIFY(committed.open(QIODevice::ReadOnly));
    const QString kept = QString::fromUtf8(committed.readAll());
    committed.close();
    const int before = kept.count(QStringLiteral("<message"));
    QVERIFY(before > 0);
    // Unfinished, vanished and obsolete entries are all left out of the build.
    QVERIFY2(!kept.contains(QStringLiteral("<translation type=")), "an entry is not a finished translation");

    QProcess lupdate;
    QStringList arguments;
    for (const char *folder : {"app", "panels", "view", "surface", "render"})
        arguments << source.filePath(QString::fromLatin1(folder));
    arguments << QStringLiteral("-no-obsolete") << QStringLiteral("-locations") << QStringLiteral("none")
              << QStringLiteral("-ts") << copy;
    lupdate.start(QStringLiteral(SKIMBLER_LUPDATE), arguments);
    QVERIFY(lupdate.waitForFinished(120000));
    QCOMPARE(lupdate.exitCode(), 0);

    QFile updated(copy);
    QVERIFY(updated.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(updated.readAll());
    QVERIFY2(!text.contains(QStringLiteral("<translation type=")),
             "a text has no translation: run the update_translations target and translate it");
    QCOMPARE(text.count(QStringLiteral("<message")), before);
}

QTEST_MAIN(TestLanguage)
#include "test_language.moc"
