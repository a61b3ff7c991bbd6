#pragma once

#include <QString>

class QCoreApplication;

// The localised-string lookup: the Chinese text is the key, and without a translation for
// the chosen language the Chinese text itself comes back.
namespace Localized {

QString string(const QString& key);

// Loads the translation for `language` ("en", "zh"...; empty = the system locale's) and
// installs it. Chinese needs no translation. Answers whether a translation was installed.
bool install(QCoreApplication& app, const QString& language = QString());
// Removes the installed translation (tests).
void uninstall();
// The language `install` would pick for the system locale.
QString systemLanguage();

} // namespace Localized
