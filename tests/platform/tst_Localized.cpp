#include "platform/ui/Localized.h"

#include <QApplication>
#include <QTest>

class tst_Localized : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { Localized::uninstall(); }
    void withoutTranslationTheChineseTextComesBack();
    void englishTranslatesTheDialogTexts();
    void englishFallsBackToTheChineseForUnknownTexts();
    void chineseNeedsNoTranslation();
};

void tst_Localized::withoutTranslationTheChineseTextComesBack()
{
    QCOMPARE(Localized::string("切换用户"), QString("切换用户"));
    QCOMPARE(Localized::string("从相册选择"), QString("从相册选择"));
}

void tst_Localized::englishTranslatesTheDialogTexts()
{
    QVERIFY(Localized::install(*qApp, "en"));
    QCOMPARE(Localized::string("切换用户"), QString("Switch user"));
    QCOMPARE(Localized::string("取消"), QString("Cancel"));
    QCOMPARE(Localized::string("从相册选择"), QString("Choose from album"));
    Localized::uninstall();
    QCOMPARE(Localized::string("切换用户"), QString("切换用户"));
}

void tst_Localized::englishFallsBackToTheChineseForUnknownTexts()
{
    QVERIFY(Localized::install(*qApp, "en_GB"));
    QCOMPARE(Localized::string("没有翻译的文字"), QString("没有翻译的文字"));
    QCOMPARE(Localized::string(""), QString(""));
}

void tst_Localized::chineseNeedsNoTranslation()
{
    QVERIFY(!Localized::install(*qApp, "zh_CN"));
    QVERIFY(!Localized::install(*qApp, "xx"));
    QCOMPARE(Localized::string("切换"), QString("切换"));
}

QTEST_MAIN(tst_Localized)
#include "tst_Localized.moc"
