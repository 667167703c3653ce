#include "tools/demo_repository.h"

#include "platform/rtf/rtf.h"
#include "repository/paper_profile.h"
#include "repository/repository_paths.h"
#include "tools/scripted_client.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

namespace exam::demo {

namespace {

const QString ClassOne = QStringLiteral("高一(1)班");
const QString ClassTwo = QStringLiteral("高一(2)班");

DemoQuestion question(const QString &text, const QStringList &options, const QString &answer,
                      const QString &explanation, const QImage &picture = {})
{
    return {text, options, answer, explanation, picture};
}

QFont pictureFont(int pixelSize)
{
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPixelSize(pixelSize);
    return font;
}

QImage canvas(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

// The question text, its picture and its options, one paragraph each.
void fillQuestionDocument(const DemoQuestion &q, QTextDocument &document)
{
    QTextCursor cursor(&document);
    QTextCharFormat plain;
    plain.setFontPointSize(12);
    cursor.insertText(q.text, plain);
    if (!q.picture.isNull()) {
        const QUrl name(QStringLiteral("demo-picture.png"));
        document.addResource(QTextDocument::ImageResource, name, q.picture);
        cursor.insertBlock();
        QTextImageFormat image;
        image.setName(name.toString());
        image.setWidth(q.picture.width());
        image.setHeight(q.picture.height());
        cursor.insertImage(image);
    }
    for (qsizetype j = 0; j < q.options.size(); ++j) {
        cursor.insertBlock();
        cursor.insertText(QStringLiteral("%1. %2")
                              .arg(QChar(static_cast<char16_t>(u'A' + j)))
                              .arg(q.options.at(j)),
                          plain);
    }
}

void fillExplanationDocument(const QString &text, QTextDocument &document)
{
    QTextCursor cursor(&document);
    QTextCharFormat format;
    format.setFontPointSize(12);
    format.setForeground(QColor(0x1f, 0x4e, 0x79));
    cursor.insertText(text, format);
}

// Draws a free document name and stores the document under it; `name` receives the name.
Result saveNewDocument(const QString &folder, RandomSource &random, const QTextDocument &document,
                       QString &name)
{
    name = newDocumentName(folder, QStringLiteral("RTF"), random);
    if (name.isEmpty())
        return Result::failure(QStringLiteral("在 %1 中找不到可用的题目文件名").arg(folder));
    return rtf::saveRtfFile(folder + u'/' + name, document);
}

// Student i of a class knows the answer to question k unless the pattern says otherwise, so the
// results spread over the grade bands.
double demoAnswer(const DemoPaper &paper, int student, int questionNumber)
{
    const DemoQuestion &q = paper.questions.at(questionNumber - 1);
    const bool knows = (student * 7 + questionNumber * 3) % 10 < 10 - student;
    if (knows)
        return q.answer.toDouble();
    return q.answer == QLatin1String("1") ? 2 : 1;
}

// A fixed draw sequence per student, so the demo looks the same every time it is made.
class SequenceRandom final : public RandomSource
{
public:
    explicit SequenceRandom(int seed) : m_state(static_cast<quint32>(seed) * 2654435761u + 1) {}
    double uniform() override
    {
        m_state = m_state * 1664525u + 1013904223u;
        return (m_state >> 8) / double(1u << 24);
    }

private:
    quint32 m_state;
};

Result sitDemoResults(const QString &root, const DemoPaper &paper, const QString &className,
                      int firstNumber, const Clock &clock)
{
    const QStringList names{QStringLiteral("王小明"), QStringLiteral("李华"),
                            QStringLiteral("张伟"),   QStringLiteral("刘洋"),
                            QStringLiteral("陈静"),   QStringLiteral("杨帆")};
    for (int i = 0; i < names.size(); ++i) {
        ClientRun run;
        run.paper = paper.name;
        run.className = className;
        run.number = QString::number(firstNumber + i);
        run.name = names.at(i);
        run.answerFor = [&paper, i](int k) { return demoAnswer(paper, i, k); };
        SequenceRandom random(i + 1);
        const ClientOutcome outcome = sitPaper(root, run, random, clock);
        if (!outcome.handedIn)
            return Result::failure(QStringLiteral("%1 的答卷没有保存:%2")
                                       .arg(run.name, outcome.dialogTexts.join(QLatin1Char(' '))));
    }
    return {};
}

} // namespace

QList<ClassEntry> demoClasses()
{
    return {{ClassOne, 40, 1001, 1040}, {ClassTwo, 40, 2001, 2040}};
}

QImage trianglePicture()
{
    QImage image = canvas(320, 220);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x1f, 0x4e, 0x79), 3));
    const QPointF a(40, 190), b(280, 190), c(40, 40);
    painter.drawPolygon(QPolygonF{a, b, c});
    painter.drawRect(QRectF(40, 170, 20, 20));
    painter.setFont(pictureFont(18));
    painter.setPen(Qt::black);
    painter.drawText(QPointF(16, 208), QStringLiteral("C"));
    painter.drawText(QPointF(286, 208), QStringLiteral("B"));
    painter.drawText(QPointF(16, 40), QStringLiteral("A"));
    painter.drawText(QPointF(150, 212), QStringLiteral("4 cm"));
    painter.drawText(QPointF(48, 120), QStringLiteral("3 cm"));
    painter.drawText(QPointF(170, 105), QStringLiteral("?"));
    return image;
}

QImage barChartPicture()
{
    QImage image = canvas(360, 240);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(pictureFont(16));
    painter.setPen(QPen(Qt::black, 2));
    painter.drawLine(40, 200, 340, 200);
    painter.drawLine(40, 200, 40, 20);
    const QStringList labels{QStringLiteral("一月"), QStringLiteral("二月"), QStringLiteral("三月"),
                             QStringLiteral("四月")};
    const int values[] = {30, 50, 80, 40};
    const QColor colours[] = {QColor(0x4e, 0x79, 0xa7), QColor(0xf2, 0x8e, 0x2b),
                              QColor(0x59, 0xa1, 0x4f), QColor(0xe1, 0x57, 0x59)};
    for (int i = 0; i < 4; ++i) {
        const QRectF bar(60 + i * 70, 200 - values[i] * 2, 44, values[i] * 2);
        painter.fillRect(bar, colours[i]);
        painter.drawText(QRectF(bar.left() - 8, 204, 60, 24), Qt::AlignHCenter, labels.at(i));
        painter.drawText(QRectF(bar.left() - 8, bar.top() - 22, 60, 20), Qt::AlignHCenter,
                         QString::number(values[i]));
    }
    return image;
}

QImage circuitPicture()
{
    QImage image = canvas(340, 200);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 3));
    painter.drawRect(40, 40, 260, 120);
    // battery on the left wire
    painter.fillRect(30, 80, 20, 40, Qt::white);
    painter.drawLine(26, 92, 54, 92);
    painter.drawLine(34, 108, 46, 108);
    // two lamps in series on the top wire
    for (int x : {130, 210}) {
        painter.setBrush(QColor(0xff, 0xe0, 0x80));
        painter.drawEllipse(QPointF(x, 40), 16, 16);
        painter.drawLine(x - 11, 29, x + 11, 51);
        painter.drawLine(x - 11, 51, x + 11, 29);
    }
    // an open switch on the bottom wire
    painter.setPen(QPen(Qt::white, 5));
    painter.drawLine(150, 160, 190, 160);
    painter.setPen(QPen(Qt::black, 3));
    painter.drawLine(150, 160, 186, 140);
    painter.setFont(pictureFont(16));
    painter.drawText(QPointF(120, 80), QStringLiteral("L1"));
    painter.drawText(QPointF(200, 80), QStringLiteral("L2"));
    painter.drawText(QPointF(160, 190), QStringLiteral("S"));
    return image;
}

QList<DemoPaper> demoPapers()
{
    DemoPaper practice;
    practice.name = QStringLiteral("语文基础练习");
    practice.author = QStringLiteral("王老师");
    practice.description = QStringLiteral("练习卷:答题时可以点“显示答案”看标准答案和解题辅导。");
    practice.minutes = 20;
    practice.defaultMark = 20;
    practice.practice = true;
    practice.questions = {
        question(QStringLiteral("下列词语中,没有错别字的一项是:"),
                 {QStringLiteral("再接再励"), QStringLiteral("迫不急待"),
                  QStringLiteral("按部就班"), QStringLiteral("一愁莫展")},
                 QStringLiteral("3"),
                 QStringLiteral(
                     "“再接再厉”的“厉”是磨的意思;“迫不及待”;“一筹莫展”。只有“按部就班”书写正确。")),
        question(QStringLiteral("“床前明月光”的作者是:"),
                 {QStringLiteral("杜甫"), QStringLiteral("李白"), QStringLiteral("白居易"),
                  QStringLiteral("王维")},
                 QStringLiteral("2"), QStringLiteral("这句诗出自李白的《静夜思》。")),
        question(QStringLiteral("下列句子中使用了比喻修辞的有(多选):"),
                 {QStringLiteral("月亮像一只小船。"), QStringLiteral("他跑得飞快。"),
                  QStringLiteral("时间就是生命。"), QStringLiteral("花儿对我笑。")},
                 QStringLiteral("13"),
                 QStringLiteral("A 是明喻,C 是暗喻;D 是拟人,B 没有使用修辞。")),
        question(QStringLiteral("“三人行,必有我师焉”出自:"),
                 {QStringLiteral("《孟子》"), QStringLiteral("《论语》"),
                  QStringLiteral("《大学》"), QStringLiteral("《中庸》")},
                 QStringLiteral("2"), QStringLiteral("这句话出自《论语·述而》,是孔子说的。")),
        question(QStringLiteral("“守株待兔”这个成语告诉我们:"),
                 {QStringLiteral("要勤劳肯干"), QStringLiteral("不能心存侥幸、不劳而获"),
                  QStringLiteral("兔子跑得很快"), QStringLiteral("树桩很结实")},
                 QStringLiteral("2"),
                 QStringLiteral("农夫等着兔子撞树桩,比喻不主动努力而心存侥幸。")),
    };

    DemoPaper draw;
    draw.name = QStringLiteral("数学随机抽题测验");
    draw.author = QStringLiteral("李老师");
    draw.description = QStringLiteral("从 8 道题中随机抽取 5 道,每题 20 分,共 30 分钟。");
    draw.minutes = 30;
    draw.defaultMark = 20;
    draw.drawCount = 5;
    const struct
    {
        const char16_t *text;
        const char16_t *answer;
        int right;
    } sums[] = {{u"12 × 12 = ?", u"144", 1},
                {u"√81 = ?", u"9", 2},
                {u"2 的 10 次方是多少?", u"1024", 3},
                {u"0.5 + 0.25 = ?", u"0.75", 4},
                {u"一个三角形的内角和是多少度?", u"180", 1},
                {u"3x + 5 = 20,x = ?", u"5", 2},
                {u"100 的 20% 是多少?", u"20", 3},
                {u"圆周率 π 约等于多少(保留两位小数)?", u"3.14", 4}};
    const QStringList wrong{QStringLiteral("12"), QStringLiteral("100"), QStringLiteral("7")};
    for (const auto &sum : sums) {
        QStringList options = wrong;
        options.insert(sum.right - 1, QString::fromUtf16(sum.answer));
        draw.questions.append(
            question(QString::fromUtf16(sum.text), options, QString::number(sum.right),
                     QStringLiteral("正确答案是 %1。").arg(QString::fromUtf16(sum.answer))));
    }

    DemoPaper pictures;
    pictures.name = QStringLiteral("物理看图识题");
    pictures.author = QStringLiteral("张老师");
    pictures.description = QStringLiteral("每道题都有一幅图,请仔细看图后作答。");
    pictures.minutes = 15;
    pictures.defaultMark = 25;
    pictures.questions = {
        question(QStringLiteral("如图,直角三角形两条直角边分别为 3 cm 和 4 cm,斜边 AB 长:"),
                 {QStringLiteral("5 cm"), QStringLiteral("6 cm"), QStringLiteral("7 cm"),
                  QStringLiteral("12 cm")},
                 QStringLiteral("1"), QStringLiteral("勾股定理:3² + 4² = 5²。"), trianglePicture()),
        question(QStringLiteral("如图是某商店四个月的销量,销量最高的是:"),
                 {QStringLiteral("一月"), QStringLiteral("二月"), QStringLiteral("三月"),
                  QStringLiteral("四月")},
                 QStringLiteral("3"), QStringLiteral("三月的柱子最高,为 80。"), barChartPicture()),
        question(QStringLiteral("如图电路中开关 S 断开,下列说法正确的是(多选):"),
                 {QStringLiteral("L1 不亮"), QStringLiteral("L2 亮"), QStringLiteral("L2 不亮"),
                  QStringLiteral("电路中有电流")},
                 QStringLiteral("13"), QStringLiteral("串联电路断开后,两灯都不亮,电路中没有电流。"),
                 circuitPicture()),
        question(QStringLiteral("图中四个月的平均销量是:"),
                 {QStringLiteral("40"), QStringLiteral("50"), QStringLiteral("60"),
                  QStringLiteral("80")},
                 QStringLiteral("2"), QStringLiteral("(30 + 50 + 80 + 40) ÷ 4 = 50。"),
                 barChartPicture()),
    };
    return {practice, draw, pictures};
}

Result writeDemoPaper(const QString &root, const DemoPaper &paper, RandomSource &random)
{
    const RepositoryPaths paths(root);
    PaperSettings settings = newPaperSettings(paper.name);
    settings.testTime = QString::number(paper.minutes);
    settings.exerciseMode = paper.practice ? QStringLiteral("1") : QStringLiteral("0");
    settings.changeQuestionSort = paper.practice ? QStringLiteral("0") : QStringLiteral("1");
    settings.author = paper.author;
    settings.aboutTest = paper.description;
    settings.randomDraw = paper.drawCount > 0 ? QStringLiteral("1") : QStringLiteral("0");
    settings.randomDrawCount = QString::number(paper.drawCount);
    if (Result written = writePaperSettings(paths.paperProfile(paper.name), settings); !written)
        return written;

    const QString folder = paths.paperFolder(paper.name);
    PaperData data;
    data.questionCount = static_cast<qint16>(paper.questions.size());
    data.defaultMark = paper.defaultMark;
    data.questions = QList<PaperQuestion>(paper.questions.size() + 2);
    for (qsizetype k = 1; k <= paper.questions.size(); ++k) {
        const DemoQuestion &q = paper.questions.at(k - 1);
        PaperQuestion &entry = data.question(static_cast<int>(k));
        QTextDocument document;
        fillQuestionDocument(q, document);
        if (Result saved = saveNewDocument(folder, random, document, entry.questionFile); !saved)
            return saved;
        QTextDocument explanation;
        fillExplanationDocument(q.explanation, explanation);
        if (Result saved = saveNewDocument(folder, random, explanation, entry.explainFile); !saved)
            return saved;
        entry.answer = q.answer;
    }
    data.fullMark = totalMark(data);
    return savePaper(paths.paperProfile(paper.name), data);
}

Result writeDemoRepository(const QString &root, RandomSource &random, const Clock &clock)
{
    const RepositoryPaths paths(root);
    Result written = paths.createSystemFolder();
    if (written)
        written = writeClassTable(paths.systemProfile(), demoClasses());
    if (!written)
        return written;

    const QList<DemoPaper> papers = demoPapers();
    QList<PaperEntry> roster;
    QList<ExamRoomPaper> rooms;
    QStringList classNames;
    for (const ClassEntry &entry : demoClasses())
        classNames.append(entry.name);
    for (const DemoPaper &paper : papers) {
        written = paths.createPaperFolders(paper.name);
        if (written)
            written = writeDemoPaper(root, paper, random);
        if (!written)
            return written;
        // Finished practice papers may be opened again for review.
        roster.append({paper.name, QStringLiteral("1"),
                       paper.practice ? QStringLiteral("1") : QStringLiteral("0")});
        rooms.append({paper.name, true, QList<bool>(classNames.size(), true)});
    }
    written = writePaperRoster(paths.systemProfile(), roster);
    if (written)
        written = writeExamRooms(paths.systemProfile(), rooms, classNames);
    if (!written)
        return written;

    const ClassEntry first = demoClasses().constFirst();
    written = sitDemoResults(root, papers.at(0), first.name, first.first, clock);
    if (written)
        written = sitDemoResults(root, papers.at(2), first.name, first.first, clock);
    return written;
}

} // namespace exam::demo
