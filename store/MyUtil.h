#pragma once

#include <QStringList>

// Store utilities of MyUtil: filling the settings store with its defaults and
// emptying the whole local database.
namespace MyUtil {

// The 44 settings keys in the order InitMyDateBase creates them.
const QStringList& SettingsKeys();
void InitMyDateBase();
void ClearDataBase();

} // namespace MyUtil
