// Opens an exported paper in LibreOffice Writer (headless) and reads its text back as the word
// processor sees it. Skipped where LibreOffice or its Writer is not installed.
#include "office_probe.h"
#include "paper_document_fixture.h"
#include "platform/dialogs/fake_dialogs.h"
#include "proctor/authoring/paper_document_export.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace exam;
using namespace document_test;
using namespace exam::platform;

class TestPaperDocumentOffice : public QObject
{
    Q_OBJECT

private slots:
    void shouldShowThePaperInOrderInWriter();
};

void TestPaperDocumentOffice::shouldShowThePaperInOrderInWriter()
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    QTemporaryDir root;
    QTemporaryDir output;
    // A tiny RTF file tells whether Writer is there to read the document.
    const QString probe = output.filePath(QStringLiteral("probe/probe.rtf"));
    QVERIFY(QDir().mkpath(QFileInfo(probe).absolutePath()));
    QFile probeFile(probe);
    QVERIFY(probeFile.open(QIODevice::WriteOnly));
    probeFile.write("{\\rtf1\\ansi probe\\par}");
    probeFile.close();
    const QString unavailable = office_test::officeMissing(
        soffice, output.filePath(QStringLiteral("profile")),
        QStringLiteral("txt:Text (encoded):UTF8"), probe, QStringLiteral("txt"));
    if (!unavailable.isEmpty())
        QSKIP(qPrintable(unavailable));

    PaperRepository repository(root.path());
    const QString paper = QStringLiteral("期末考试");
    QVERIFY(repository.installTemplate());
    QVERIFY(repository.makePaper(paper,
                                 {{questionText(1), explanationText(1), QStringLiteral("13"), {}},
                                  {questionText(2), explanationText(2), {}, QStringLiteral("8")}},
                                 5));
    FakeDialogs dialogs;
    dialogs.answerQuestion(true);
    AuthoringRequest request;
    request.dialogs = &dialogs;
    request.repositoryRoot = root.path();
    request.row = paperRow(paper, 2, QStringLiteral("13"));
    PaperDocumentContext context;
    context.outputFolder = output.path();
    QString written;
    context.openDocument = [&](const QString &path) {
        written = path;
        return true;
    };
    exportPaperDocument(request, context);
    QVERIFY(!written.isEmpty());

    QProcess process;
    // A profile of its own, so that a running LibreOffice of the user is neither used nor
    // disturbed.
    process.start(soffice, {QStringLiteral("-env:UserInstallation=file://") +
                                output.filePath(QStringLiteral("profile")),
                            QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                            QStringLiteral("txt:Text (encoded):UTF8"), QStringLiteral("--outdir"),
                            output.filePath(QStringLiteral("txt")), written});
    QVERIFY(process.waitForFinished(300000));
    QCOMPARE(process.exitCode(), 0);
    QFile file(output.filePath(QStringLiteral("txt/") + QFileInfo(written).completeBaseName() +
                               QStringLiteral(".txt")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QString text = QString::fromUtf8(file.readAll());
    text.remove(QChar(0xFEFF));

    QString missing;
    QVERIFY2(inOrder(text,
                     {paper, QStringLiteral("命题人：王老师"), QStringLiteral("考试时间：45 分钟"),
                      QStringLiteral("满分：13 分"), QStringLiteral("第1题（本题 5 分）"),
                      questionText(1), explanationText(1), QStringLiteral("第2题（本题 8 分）"),
                      questionText(2), explanationText(2), QStringLiteral("参考答案"),
                      QStringLiteral("第1题：13"), QStringLiteral("第2题：[no answer]")},
                     &missing),
             qPrintable(missing + QStringLiteral(" in:\n") + text));
    QVERIFY(!text.contains(QStringLiteral("[QUESTION")));
}

QTEST_MAIN(TestPaperDocumentOffice)
#include "tst_paper_document_office.moc"
