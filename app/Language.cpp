#include "app/Language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QSettings>
#include <QTranslator>

namespace {

const QString kKey = QStringLiteral("View/Language");

QTranslator *&Installed()
{
    static QTranslator *translator = nullptr;
    return translator;
}

// Qt's own texts: the buttons and titles of its standard dialogs.
QTranslator *&InstalledQt()
{
    static QTranslator *translator = nullptr;
    return translator;
}

void Remove(QTranslator *&translator)
{
    if (!translator)
        return;
    QCoreApplication::removeTranslator(translator);
    delete translator;
    translator = nullptr;
}

// The translation of Qt's own texts (qtbase_<name>.qm) that goes with a
// choice. Qt's texts are English as they stand; whenever the program speaks
// Chinese (the source texts included), its dialogs' buttons should too.
QString QtTranslationFor(Language::Choice choice, const QLocale &system)
{
    return Language::TranslationFor(choice, system) == QLatin1String("en") ? QString() : QStringLiteral("zh_TW");
}

} // namespace

namespace Language {

Choice Saved()
{
    const QString value = QSettings().value(kKey).toString();
    if (value == QLatin1String("en"))
        return English;
    if (value == QLatin1String("zh_TW"))
        return Chinese;
    return System;
}

void Save(Choice choice)
{
    QSettings settings;
    switch (choice) {
    case English: settings.setValue(kKey, QStringLiteral("en")); break;
    case Chinese: settings.setValue(kKey, QStringLiteral("zh_TW")); break;
    case System: settings.remove(kKey); break;
    }
}

QString TranslationFor(Choice choice, const QLocale &system)
{
    switch (choice) {
    case English: return QStringLiteral("en");
    case Chinese: return QStringLiteral("zh_TW");
    case System: break;
    }
    if (system.language() == QLocale::C)
        return QString();
    return system.language() == QLocale::Chinese ? QStringLiteral("zh_TW") : QStringLiteral("en");
}

bool Install(Choice choice, const QLocale &system)
{
    Remove(InstalledQt());
    Remove(Installed());

    const QString qtName = QtTranslationFor(choice, system);
    if (!qtName.isEmpty()) {
        // A system without Qt's translations keeps Qt's English buttons.
        auto *translator = new QTranslator;
        if (translator->load(QStringLiteral("qtbase_") + qtName, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            QCoreApplication::installTranslator(translator);
            InstalledQt() = translator;
        } else {
            delete translator;
        }
    }

    QTranslator *&installed = Installed();
    const QString name = TranslationFor(choice, system);
    if (name.isEmpty())
        return true;
    auto *translator = new QTranslator;
    if (!translator->load(QStringLiteral(":/i18n/skimbler_") + name)) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    installed = translator;
    return true;
}

} // namespace Language
