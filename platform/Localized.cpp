#include "platform/Localized.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>
#include <memory>

namespace Localized {

namespace {

// The context the translation files use for every app text.
constexpr const char* Context = "Lvxing";

std::unique_ptr<QTranslator>& installed()
{
    static std::unique_ptr<QTranslator> translator;
    return translator;
}

} // namespace

QString string(const QString& key)
{
    const QByteArray utf8 = key.toUtf8();
    return QCoreApplication::translate(Context, utf8.constData());
}

QString systemLanguage()
{
    const QLocale locale = QLocale::system();
    if (locale.language() == QLocale::C)
        return QStringLiteral("zh");
    return QLocale::languageToCode(locale.language());
}

bool install(QCoreApplication& app, const QString& language)
{
    uninstall();
    const QString chosen = language.isEmpty() ? systemLanguage() : language.toLower();
    if (chosen.startsWith(QLatin1String("zh")))
        return false;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral(":/translations/lvxing_%1.qm").arg(chosen.left(2))))
        return false;
    app.installTranslator(translator.get());
    installed() = std::move(translator);
    return true;
}

void uninstall()
{
    if (installed()) {
        QCoreApplication::removeTranslator(installed().get());
        installed().reset();
    }
}

} // namespace Localized
