#include <QtTest>

#include <cstdint>

// The fuzzer's entry point (fuzz_protocol.cpp): it aborts when a decoded answer breaks an
// invariant.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

// Replays saved hostile server answers, and the fuzzer's seeds, through every reader the fuzzer
// drives, in the ordinary build where no clang or sanitizer is at hand.
class tst_HostileAnswers : public QObject
{
    Q_OBJECT

private slots:
    void replay_data();
    void replay();
};

void tst_HostileAnswers::replay_data()
{
    QTest::addColumn<QString>("path");
    for (const char* folder :
         {LVXING_TEST_DATA "/hostile-answers", LVXING_SOURCE_DIR "/tests/fuzz/corpus"}) {
        const QDir dir(QString::fromUtf8(folder));
        const QStringList names = dir.entryList(QDir::Files, QDir::Name);
        QVERIFY2(!names.isEmpty(), folder);
        for (const QString& name : names)
            QTest::newRow(qPrintable(name)) << dir.filePath(name);
    }
}

void tst_HostileAnswers::replay()
{
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray answer = file.readAll();
    QCOMPARE(LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(answer.constData()),
                                    size_t(answer.size())),
             0);
}

QTEST_GUILESS_MAIN(tst_HostileAnswers)
#include "tst_HostileAnswers.moc"
