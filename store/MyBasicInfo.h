#pragma once

#include <QString>

// The settings store: one row of text per named setting. A key without a row
// reads "1" and ignores writes; a new key starts as "0".
class MyBasicInfo
{
public:
    static void CheckAdd(const QString& key);
    static void Add(const QString& key);
    static QString GetValue(const QString& key);
    static void SetValue(const QString& key, const QString& value);
    static void PrintAll();
    static void ClearMySelf();
};
