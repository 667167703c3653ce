#include "repository/profile_file.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestProfileFile : public QObject
{
    Q_OBJECT

private slots:
    void shouldReadWrittenValue();
};

void TestProfileFile::shouldReadWrittenValue()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.cho"));
    QVERIFY(writeProfileString(QStringLiteral("MAIN"), QStringLiteral("TESTTIME"), QStringLiteral("30"), path));
    QCOMPARE(readProfileString(QStringLiteral("main"), QStringLiteral("testtime"), QStringLiteral("0"), path),
             QStringLiteral("30"));
}

QTEST_GUILESS_MAIN(TestProfileFile)
#include "tst_profile_file.moc"
