// A profile this system wrote reads back as written, whatever names it holds, although many
// GB18030 names are valid UTF-8 byte for byte; UTF-8 files as a Linux editor writes them still read
// as UTF-8.

#include "repository/profile_encoding.h"
#include "repository/profile_file.h"
#include "repository/profile_format.h"
#include "repository/result_profile.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

using exam::ProfileEncoding;
using exam::ProfileSnapshot;

namespace {

const QStringList Surnames = [] {
    QStringList names;
    for (QChar c : QStringLiteral(
             "王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗郑梁谢宋唐许韩冯邓曹彭曾肖田董袁潘于蒋蔡"
             "余杜叶程苏魏吕丁任沈姚卢姜崔钟谭陆汪范金石廖贾夏韦付方白邹孟熊秦邱江尹薛闫段雷侯"
             "龙史陶黎贺顾毛郝龚邵万钱严覃武戴莫孔向汤梅路"))
        names.append(c);
    return names + QStringList{QStringLiteral("欧阳"), QStringLiteral("司马"),
                               QStringLiteral("上官"), QStringLiteral("诸葛")};
}();

// Common characters of given names, with many from GB2312's second level (翊, 璇, 婧) and from the
// GBK extension (玥, 祎, 昇, 堃), which are the ones whose bytes can form valid UTF-8.
const QString GivenNameCharacters = QStringLiteral(
    "伟芳娜秀英敏静丽强磊军洋勇艳杰娟涛明超兰霞平刚华建国志文玉红梅晨宇浩轩子涵欣怡梓萱雨思"
    "佳嘉琪诗淑婷雪琳晶瑶璐妍琦彤昊睿翊璇旻婧钰瑾皓煜熠骁炜祺琰珂珺玥祎昇堃喆赟镕玙瑄珩昕晗"
    "烨娅恒泽瀚铭俊博逸哲辰凯鹏飞鑫雅婉琬瑗婕瑜璟琛玮珏瑛莹颖蕾薇蓉茜菲芸曦昱晟晖旭阳然若依"
    "诺心语彦嫣媛姝妤娴岚峰岩嵩楠桐杉柏榕沐润澄澜泓溪潇漪灏炅焱煊熙燕鸿翔羽骏驰麒珅琨璋瓒玑"
    "琇瓅");

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The name the reading of a file of one class gives back, written as the client writes it.
struct Written
{
    QByteArray bytes;
    QString name;
    QString formerName;
};

Written writeLogin(const QString &className, const QString &name, const QString &formerName)
{
    exam::ProfileDocument document = exam::ProfileDocument::parse(QByteArray());
    document.set(className, QStringLiteral("1001"), name);
    document.set(className, QStringLiteral("1001LAST"), formerName);
    const QByteArray bytes = document.toBytes();
    const ProfileSnapshot snapshot = ProfileSnapshot::fromBytes(bytes);
    return {bytes, snapshot.value(className, QStringLiteral("1001")),
            snapshot.value(className, QStringLiteral("1001LAST"))};
}

} // namespace

class TestProfileEncoding : public QObject
{
    Q_OBJECT

private slots:
    void shouldReadNamesThatAreValidUtf8AsWritten_data();
    void shouldReadNamesThatAreValidUtf8AsWritten();
    void shouldReadEveryGeneratedNameAsWritten();
    void shouldReadUtf8FilesAsALinuxEditorWritesThem_data();
    void shouldReadUtf8FilesAsALinuxEditorWritesThem();
};

void TestProfileEncoding::shouldReadNamesThatAreValidUtf8AsWritten_data()
{
    QTest::addColumn<QString>("name");

    QTest::newRow("谢娅祎") << QStringLiteral("谢娅祎");
    QTest::newRow("韦翊静") << QStringLiteral("韦翊静");
    QTest::newRow("石璇旻") << QStringLiteral("石璇旻");
    QTest::newRow("谭睿玥") << QStringLiteral("谭睿玥");
    QTest::newRow("钱婧昇") << QStringLiteral("钱婧昇");
}

void TestProfileEncoding::shouldReadNamesThatAreValidUtf8AsWritten()
{
    QFETCH(QString, name);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString className = QStringLiteral("801");
    const QString path = dir.filePath(QStringLiteral("8011001.cho"));
    QVERIFY(exam::storeLogin(path, className, QStringLiteral("1001"), name, QString()));
    // The stored name is GB18030 and, byte for byte, valid UTF-8 as well.
    QStringEncoder gb18030("GB18030");
    const QByteArray nameBytes = gb18030.encode(name);
    QVERIFY(readBytes(path).contains(nameBytes));
    QVERIFY(exam::isEncodingGuessed(readBytes(path)));

    QCOMPARE(ProfileSnapshot::load(path).encoding(), ProfileEncoding::Gb18030);
    QCOMPARE(readProfileString(className, QStringLiteral("1001"), QString(), path), name);
    QCOMPARE(exam::readStudentResult(path, className, QStringLiteral("1001"), 0).name, name);
    // A retest or review later: the file is written again and still reads as written.
    QVERIFY(exam::storeHandIn(path, className, QStringLiteral("1001"),
                              {QStringLiteral("00:10:00"), {1, 2}, 10}));
    QCOMPARE(exam::readStudentResult(path, className, QStringLiteral("1001"), 2).name, name);
}

void TestProfileEncoding::shouldReadEveryGeneratedNameAsWritten()
{
    const QStringList classes = {QStringLiteral("801"), QStringLiteral("902"), QStringLiteral("3"),
                                 QStringLiteral("A1")};
    const qsizetype given = GivenNameCharacters.size();
    QStringList misread;
    int names = 0;
    int guessed = 0;
    for (qsizetype s = 0; s < Surnames.size(); ++s) {
        for (qsizetype a = 0; a < given; ++a) {
            // Every one-character given name, and seven two-character ones per first character.
            for (int k = -1; k < 7; ++k) {
                QString name = Surnames.at(s) + GivenNameCharacters.at(a);
                if (k >= 0)
                    name += GivenNameCharacters.at((a * 7 + s * 13 + k * 29) % given);
                const QString former = (a + k) % 5 == 0
                                           ? GivenNameCharacters.at((a + s) % given) + name.right(2)
                                           : QString();
                const Written written =
                    writeLogin(classes.at((s + a + k + 1) % classes.size()), name, former);
                ++names;
                guessed += exam::isEncodingGuessed(written.bytes);
                if (written.name != name || written.formerName != former)
                    misread.append(name + u'/' + former + u'>' + written.name + u'/' +
                                   written.formerName);
            }
        }
    }
    QVERIFY2(names >= 100000, qPrintable(QString::number(names)));
    // The names must really test the guess: many of their files are valid UTF-8 too.
    QVERIFY2(guessed >= 500, qPrintable(QString::number(guessed)));
    QCOMPARE(misread.mid(0, 10), QStringList());
}

void TestProfileEncoding::shouldReadUtf8FilesAsALinuxEditorWritesThem_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    QTest::newRow("system profile")
        << QStringLiteral(
               "[ClassName]\nClassNameCount=2\n1=初一(1)班\n2=801\n[TestName]\nTestNameCount=1\n"
               "1=期中考试\n期中考试=1\n[期中考试]\n初一(1)班=1\n801=1\n")
        << "TestName"
        << "1"
        << "期中考试";
    QTest::newRow("one student") << QStringLiteral("[801]\n1001=张三\n") << "801"
                                 << "1001"
                                 << "张三";
    QTest::newRow("names that are valid UTF-8 in GB18030")
        << QStringLiteral("[801]\n1001=谢娅祎\n1002=谭睿玥\n1003=钱婧昇\n") << "801"
        << "1002"
        << "谭睿玥";
    QTest::newRow("one paper name as a section")
        << QStringLiteral("[期中考试]\n801=1\n") << "期中考试"
        << "801"
        << "1";
    QTest::newRow("instructions")
        << QStringLiteral("[MAIN]\nTESTTIME=45\nabout_test=本试卷共20题,每题5分,考试时间45分钟。\n")
        << "MAIN"
        << "about_test"
        << "本试卷共20题,每题5分,考试时间45分钟。";
    QTest::newRow("name with a middle dot")
        << QStringLiteral("[高二3班]\n2001=阿依古丽·买买提\n") << "高二3班"
        << "2001"
        << "阿依古丽·买买提";
    QTest::newRow("subjects") << QStringLiteral("[TestName]\n1=语文\n2=数学\n3=英语\n")
                              << "TestName"
                              << "2"
                              << "数学";
}

void TestProfileEncoding::shouldReadUtf8FilesAsALinuxEditorWritesThem()
{
    QFETCH(QString, file);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    const QByteArray bytes = file.toUtf8();
    QVERIFY(exam::isEncodingGuessed(bytes));
    const ProfileSnapshot snapshot = ProfileSnapshot::fromBytes(bytes);
    QCOMPARE(snapshot.encoding(), ProfileEncoding::Utf8);
    QCOMPARE(snapshot.value(section, key), expected);
}

QTEST_GUILESS_MAIN(TestProfileEncoding)
#include "tst_profile_encoding.moc"
