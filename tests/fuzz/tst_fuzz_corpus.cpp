// The inputs the fuzz targets found worth keeping (and the seeds they started from), fed to the
// same entry functions as ordinary tests: every file must be handled without a crash and without a
// broken promise.

#include "fuzz_entries.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <functional>

class FuzzCorpusTest : public QObject
{
    Q_OBJECT

private slots:
    void shouldHandleEveryProfileOfTheCorpus_data() { corpusRows(QStringLiteral("profile")); }
    void shouldHandleEveryProfileOfTheCorpus() { check(fuzzing::checkProfileBytes); }
    void shouldHandleEveryWorkbookOfTheCorpus_data() { corpusRows(QStringLiteral("workbook")); }
    void shouldHandleEveryWorkbookOfTheCorpus() { check(fuzzing::checkWorkbookBytes); }

private:
    static void corpusRows(const QString &target)
    {
        QTest::addColumn<QString>("path");
        const QDir dir(QStringLiteral(EXAM_FUZZ_CORPUS_DIR "/") + target);
        const QStringList names = dir.entryList(QDir::Files, QDir::Name);
        QVERIFY2(!names.isEmpty(), "the corpus is missing");
        for (const QString &name : names)
            QTest::newRow(qPrintable(name)) << dir.filePath(name);
    }

    static void check(const std::function<bool(const QByteArray &)> &entry)
    {
        QFETCH(QString, path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(entry(file.readAll()));
    }
};

QTEST_GUILESS_MAIN(FuzzCorpusTest)
#include "tst_fuzz_corpus.moc"
