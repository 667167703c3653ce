#include "proctor/export/export_location.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace exam;

class TestExportLocation : public QObject
{
    Q_OBJECT

private slots:
    void shouldKeepTheFileInsideItsFolder_data();
    void shouldKeepTheFileInsideItsFolder();
    void shouldNeverPickATakenName();
    void shouldOfferAWritableDefaultFolder();
};

void TestExportLocation::shouldKeepTheFileInsideItsFolder_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("fileName");
    QTest::newRow("Chinese") << QStringLiteral("期中考试-高一(1)班")
                             << QStringLiteral("期中考试-高一(1)班.xlsx");
    QTest::newRow("slashes") << "../../etc/passwd"
                             << ".._.._etc_passwd.xlsx";
    QTest::newRow("backslash and colon") << "C:\\a"
                                         << "C__a.xlsx";
    QTest::newRow("dots only") << ".."
                               << "_...xlsx";
    QTest::newRow("empty") << ""
                           << "_.xlsx";
    QTest::newRow("blanks around") << "  期末  " << QStringLiteral("期末.xlsx");
    QTest::newRow("control character") << QStringLiteral("a\nb") << "a_b.xlsx";
}

void TestExportLocation::shouldKeepTheFileInsideItsFolder()
{
    QFETCH(QString, name);
    QFETCH(QString, fileName);
    QTemporaryDir folder;
    const QString path = freeExportPath(folder.path(), name, QStringLiteral("xlsx"));
    QCOMPARE(QFileInfo(path).fileName(), fileName);
    QCOMPARE(QFileInfo(path).absolutePath(), QFileInfo(folder.path()).absoluteFilePath());
}

void TestExportLocation::shouldNeverPickATakenName()
{
    QTemporaryDir folder;
    QStringList taken;
    for (int i = 0; i < 4; ++i) {
        const QString path =
            freeExportPath(folder.path(), QStringLiteral("试卷"), QStringLiteral("rtf"));
        QVERIFY(!taken.contains(path));
        QVERIFY(!QFileInfo::exists(path));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        taken << path;
    }
    QCOMPARE(QFileInfo(taken.at(1)).fileName(), QStringLiteral("试卷 (2).rtf"));
}

void TestExportLocation::shouldOfferAWritableDefaultFolder()
{
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toUtf8());
    const QString folder = defaultExportFolder();
    QVERIFY(QFileInfo(folder).isDir());
    QVERIFY(QFileInfo(folder).isWritable());
    QVERIFY(folder.startsWith(home.path()));
}

QTEST_GUILESS_MAIN(TestExportLocation)
#include "tst_exportlocation.moc"
