#include "platform/xlsx/zip_archive.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace xlsx;

class TestZipArchive : public QObject
{
    Q_OBJECT

private slots:
    void shouldReadBackWhatItWrote_data();
    void shouldReadBackWhatItWrote();
    void shouldRefuseFilesThatAreNoArchive_data();
    void shouldRefuseFilesThatAreNoArchive();
    void shouldRefuseAnArchiveBeyondTheLimits();
    void shouldRefuseADamagedEntry();

private:
    QString store(const QByteArray &bytes);
    QTemporaryDir m_folder;
    int m_files = 0;
};

QString TestZipArchive::store(const QByteArray &bytes)
{
    const QString path = m_folder.filePath(QStringLiteral("f%1.zip").arg(++m_files));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return {};
    return path;
}

void TestZipArchive::shouldReadBackWhatItWrote_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("entryCount");
    QTest::addColumn<int>("entrySize");
    QTest::newRow("one small entry") << 6 << 1 << 10;
    QTest::newRow("several entries, fastest") << 1 << 5 << 1000;
    QTest::newRow("large entry, smallest") << 9 << 2 << 300000;
    QTest::newRow("empty entry") << 6 << 1 << 0;
}

void TestZipArchive::shouldReadBackWhatItWrote()
{
    QFETCH(int, level);
    QFETCH(int, entryCount);
    QFETCH(int, entrySize);
    std::vector<ZipEntry> entries;
    for (int i = 0; i < entryCount; ++i) {
        QByteArray data(entrySize, Qt::Uninitialized);
        for (int k = 0; k < entrySize; ++k)
            data[k] = char((k * 7 + i) % 251);
        entries.push_back({"folder/文件" + QByteArray::number(i) + ".xml", data});
    }
    const ZipWriteResult written = writeZip(entries, level);
    QVERIFY2(written.ok, qPrintable(written.error));
    const QString path = store(written.bytes);
    QVERIFY(!path.isEmpty());

    const ZipReadResult read = readZip(path);
    QVERIFY2(read.ok, qPrintable(read.error));
    QCOMPARE(read.entries.size(), entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        QCOMPARE(read.entries[i].name, entries[i].name);
        QCOMPARE(read.entries[i].data, entries[i].data);
    }
}

void TestZipArchive::shouldRefuseFilesThatAreNoArchive_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("text") << QByteArray("[MAIN]\r\nTESTTIME=30\r\n");
    // The signature of an old binary Office file (.xls, .xlt).
    QTest::newRow("binary office file")
        << QByteArray::fromHex("d0cf11e0a1b11ae1") + QByteArray(504, '\0');
    QTest::newRow("cut archive") << QByteArray("PK\x03\x04", 4) + QByteArray(20, 'x');
}

void TestZipArchive::shouldRefuseFilesThatAreNoArchive()
{
    QFETCH(QByteArray, bytes);
    const ZipReadResult read = readZip(store(bytes));
    QVERIFY(!read.ok);
    QVERIFY(!read.error.isEmpty());
    QVERIFY(read.entries.empty());

    const ZipReadResult missing = readZip(m_folder.filePath(QStringLiteral("none.zip")));
    QVERIFY(!missing.ok);
    QVERIFY(missing.error.contains(QStringLiteral("none.zip")));
}

void TestZipArchive::shouldRefuseAnArchiveBeyondTheLimits()
{
    std::vector<ZipEntry> entries;
    for (int i = 0; i < 3; ++i)
        entries.push_back({"e" + QByteArray::number(i), QByteArray(4000, 'a')});
    const ZipWriteResult written = writeZip(entries);
    QVERIFY(written.ok);
    const QString path = store(written.bytes);

    ZipLimits size;
    size.maxTotalSize = 10000;
    QVERIFY(!readZip(path, size).ok);
    ZipLimits count;
    count.maxEntries = 2;
    QVERIFY(!readZip(path, count).ok);
    ZipLimits enough;
    enough.maxTotalSize = 12000;
    enough.maxEntries = 3;
    QVERIFY(readZip(path, enough).ok);
}

void TestZipArchive::shouldRefuseADamagedEntry()
{
    QByteArray data;
    for (int i = 0; i < 5000; ++i)
        data += QByteArray::number(i * 31 % 977) + ',';
    const ZipWriteResult written = writeZip({{"sheet.xml", data}});
    QVERIFY(written.ok);
    // Change bytes in the middle of the compressed data: the checksum no longer matches.
    QByteArray damaged = written.bytes;
    const qsizetype middle = damaged.size() / 2;
    for (qsizetype i = middle; i < middle + 8; ++i)
        damaged[i] = char(damaged[i] ^ 0x5a);
    const ZipReadResult read = readZip(store(damaged));
    QVERIFY(!read.ok);
    QVERIFY(!read.error.isEmpty());
}

QTEST_APPLESS_MAIN(TestZipArchive)
#include "tst_ziparchive.moc"
