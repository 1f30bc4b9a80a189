#include "app/Language.h"

#include <QCoreApplication>
#include <QSettings>
#include <QTranslator>

namespace {

const QString kKey = QStringLiteral("View/Language");

QTranslator *&Installed()
{
    static QTranslator *translator = nullptr;
    return translator;
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
    QTranslator *&installed = Installed();
    if (installed) {
        QCoreApplication::removeTranslator(installed);
        delete installed;
        installed = nullptr;
    }
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
