#include "examtool/repository_check.h"

#include "examtool/value_checks.h"
#include "repository/name_rules.h"
#include "repository/paper_profile.h"
#include "repository/profile_encoding.h"
#include "repository/profile_format.h"
#include "repository/profile_values.h"
#include "repository/repository_paths.h"
#include "repository/result_profile.h"
#include "repository/system_profile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <algorithm>

namespace exam::tool {
namespace {

// Larger files are no profiles; the programs do not read them either.
constexpr qint64 MaxProfileBytes = 64 * 1024 * 1024;

QString key(const char *name)
{
    return QString::fromLatin1(name);
}

// A profile read once: its values as the programs read them and where each entry lies.
struct LoadedProfile
{
    QString file; // relative to the root
    bool exists = false;
    ProfileSnapshot snapshot;
    ProfileIndex index;
};

struct ListedName
{
    QString name;
    int line = 0;
};

class RepositoryChecker
{
public:
    explicit RepositoryChecker(const QString &root) : m_root(root), m_paths(root) {}

    QList<Finding> run();

private:
    LoadedProfile load(const QString &path);
    void report(const QString &file, int line, const QString &message)
    {
        m_findings.append({file, line, message});
    }
    void checkNumber(const LoadedProfile &profile, const QString &section, const QString &name,
                     NumberRange range = NumberRange::Int16);

    QList<ListedName> checkNameList(const LoadedProfile &system, const QString &section,
                                    const QString &countKey, const QString &what,
                                    NameCheck (*nameRule)(const QString &));
    void checkClasses(const LoadedProfile &system, const QList<ClassEntry> &classes,
                      const QList<ListedName> &listed);
    void checkPaperFlags(const LoadedProfile &system, const QList<ListedName> &papers,
                         const QList<ClassEntry> &classes);
    void checkPaper(const LoadedProfile &system, const ListedName &paper,
                    const QList<ClassEntry> &classes);
    qint16 checkPaperProfile(const QString &paper);
    void checkResults(const QString &paper, int questionCount, const QList<ClassEntry> &classes);
    void checkResultProfile(const QString &path, const ClassEntry &entry, const QString &number,
                            int questionCount);
    void checkUnlistedFolders(const QString &folder, const QList<ListedName> &papers,
                              const QString &message);

    QString relative(const QString &path) const { return QDir(m_root).relativeFilePath(path); }

    QString m_root;
    RepositoryPaths m_paths;
    QList<Finding> m_findings;
};

LoadedProfile RepositoryChecker::load(const QString &path)
{
    LoadedProfile profile;
    profile.file = relative(path);
    QFile file(path);
    if (!file.exists())
        return profile;
    profile.exists = true;
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxProfileBytes) {
        report(profile.file, 0, QStringLiteral("无法读取此文件,程序按空文件读取"));
        return profile;
    }
    const QByteArray bytes = file.readAll();
    profile.snapshot = ProfileSnapshot::fromBytes(bytes);
    profile.index = ProfileIndex::build(bytes);
    const bool marked = bytes.startsWith("\xEF\xBB\xBF") || bytes.startsWith("\xFF\xFE");
    if (!marked && isEncodingGuessed(bytes)) {
        const QString encoding = profile.index.encoding() == ProfileEncoding::Utf8
                                     ? QStringLiteral("UTF-8")
                                     : QStringLiteral("GB18030");
        report(profile.file, firstNonAsciiLine(bytes),
               QStringLiteral(
                   "文件没有字节顺序标记,按 GB18030 和 UTF-8 都能读,编码是推测的:按 %1 读取")
                   .arg(encoding));
    }
    return profile;
}

void RepositoryChecker::checkNumber(const LoadedProfile &profile, const QString &section,
                                    const QString &name, NumberRange range)
{
    const int line = profile.index.keyLine(section, name);
    if (line == 0)
        return;
    const QString entry = QStringLiteral("[%1] %2").arg(section, name);
    if (const auto problem = numberProblem(entry, profile.snapshot.value(section, name), range))
        report(profile.file, line, *problem);
}

// The numbered list of `section`: its count must be a number, every entry up to it must be there,
// and every name must be one the console would take and differ from the others in more than
// letter case. Returns the names that are there, with their lines.
QList<ListedName> RepositoryChecker::checkNameList(const LoadedProfile &system,
                                                   const QString &section, const QString &countKey,
                                                   const QString &what,
                                                   NameCheck (*nameRule)(const QString &))
{
    checkNumber(system, section, countKey);
    const qint16 count =
        profileNumber(system.snapshot.value(section, countKey, QStringLiteral("0")));
    QList<ListedName> listed;
    QHash<QString, ListedName> byFoldedName;
    for (int i = 1; i <= count; ++i) {
        const QString number = QString::number(i);
        const int line = system.index.keyLine(section, number);
        if (line == 0) {
            report(
                system.file, system.index.keyLine(section, countKey),
                QStringLiteral("%1列表缺少第 %2 项,程序按“0”读取").arg(what, QString::number(i)));
            continue;
        }
        const ListedName entry{trimBlanks(system.snapshot.value(section, number)), line};
        if (const NameCheck check = nameRule(entry.name); !check)
            report(system.file, line,
                   QStringLiteral("控制台不接受%1名称“%2”:%3").arg(what, entry.name, check.reason));
        const QString folded = entry.name.toCaseFolded();
        const auto earlier = byFoldedName.constFind(folded);
        if (earlier == byFoldedName.cend()) {
            byFoldedName.insert(folded, entry);
            listed.append(entry);
        } else if (earlier->name == entry.name) {
            report(system.file, line,
                   QStringLiteral("%1“%2”在第 %3 行已经列出")
                       .arg(what, entry.name, QString::number(earlier->line)));
        } else {
            report(system.file, line,
                   QStringLiteral("%1“%2”与第 %3 行的“%4”只差字母大小写,程序把它们当作同一个")
                       .arg(what, entry.name, QString::number(earlier->line), earlier->name));
        }
    }
    return listed;
}

void RepositoryChecker::checkClasses(const LoadedProfile &system, const QList<ClassEntry> &classes,
                                     const QList<ListedName> &listed)
{
    using namespace SystemKeys;
    for (const ListedName &name : listed) {
        for (const char *section : {ClassSizeSection, FirstNumberSection, LastNumberSection})
            checkNumber(system, key(section), name.name);
        const bool hasFirst = system.index.keyLine(key(FirstNumberSection), name.name) > 0;
        const bool hasLast = system.index.keyLine(key(LastNumberSection), name.name) > 0;
        if (!hasFirst || !hasLast) {
            report(system.file, name.line,
                   QStringLiteral("班级“%1”没有%2,程序按 0 读取")
                       .arg(name.name, !hasFirst ? QStringLiteral("起始考号 (FirstNumber)")
                                                 : QStringLiteral("结束考号 (LastNumber)")));
            continue;
        }
        for (const ClassEntry &entry : classes) {
            if (entry.name == name.name && entry.first > entry.last)
                report(
                    system.file, system.index.keyLine(key(FirstNumberSection), name.name),
                    QStringLiteral("班级“%1”的起始考号 %2 大于结束考号 %3,没有考生能登录")
                        .arg(name.name, QString::number(entry.first), QString::number(entry.last)));
        }
    }
}

void RepositoryChecker::checkPaperFlags(const LoadedProfile &system,
                                        const QList<ListedName> &papers,
                                        const QList<ClassEntry> &classes)
{
    using namespace SystemKeys;
    for (const ListedName &paper : papers) {
        checkNumber(system, key(PaperSection), paper.name);
        checkNumber(system, key(ReviewSection), paper.name);
        for (const ClassEntry &entry : classes)
            checkNumber(system, paper.name, entry.name);
    }
}

void RepositoryChecker::checkPaper(const LoadedProfile &system, const ListedName &paper,
                                   const QList<ClassEntry> &classes)
{
    const QString folder = m_paths.paperFolder(paper.name);
    int questionCount = 0;
    if (!QFileInfo(folder).isDir()) {
        report(system.file, paper.line,
               QStringLiteral("试卷“%1”的文件夹 %2 不存在").arg(paper.name, relative(folder)));
    } else if (!QFileInfo::exists(m_paths.paperProfile(paper.name))) {
        report(system.file, paper.line,
               QStringLiteral("试卷“%1”的试卷文件 %2 不存在")
                   .arg(paper.name, relative(m_paths.paperProfile(paper.name))));
    } else {
        questionCount = checkPaperProfile(paper.name);
    }
    const QString results = m_paths.paperResultsFolder(paper.name);
    if (!QFileInfo(results).isDir())
        report(system.file, paper.line,
               QStringLiteral("试卷“%1”的成绩文件夹 %2 不存在,考生交卷时成绩无法保存")
                   .arg(paper.name, relative(results)));
    else
        checkResults(paper.name, questionCount, classes);
}

// Returns the paper's question count.
qint16 RepositoryChecker::checkPaperProfile(const QString &paper)
{
    using namespace PaperKeys;
    const LoadedProfile profile = load(m_paths.paperProfile(paper));
    const QString main = key(MainSection);
    for (const char *name :
         {TestTime, FullMark, ExerciseMode, DisplayScore, ChangeQuestionSort, AGrade, BGrade,
          CGrade, DGrade, QuestionCount, DefaultMark, RandomDraw, RandomDrawCount})
        checkNumber(profile, main, key(name));
    const PaperData data = loadPaper(profile.snapshot);
    for (int k = 1; k <= data.questionCount; ++k) {
        const QString section = QString::number(k);
        checkNumber(profile, section, key(Answer), NumberRange::Any);
        checkNumber(profile, section, key(Mark));
        const PaperQuestion &question = data.question(k);
        if (question.questionFile.isEmpty()) {
            const int line = profile.index.sectionLine(section);
            report(profile.file, line > 0 ? line : profile.index.keyLine(main, key(QuestionCount)),
                   QStringLiteral("第 %1 题没有题目文件").arg(k));
        }
        const struct
        {
            const char *key;
            QString file;
            QString what;
        } documents[] = {{Question, question.questionFile, QStringLiteral("题目文件")},
                         {Explain, question.explainFile, QStringLiteral("解题辅导文件")}};
        for (const auto &document : documents) {
            if (!document.file.isEmpty() &&
                !QFileInfo::exists(m_paths.paperFile(paper, document.file)))
                report(profile.file, profile.index.keyLine(section, key(document.key)),
                       QStringLiteral("第 %1 题的%2 %3 不存在")
                           .arg(QString::number(k), document.what, document.file));
        }
    }
    return data.questionCount;
}

// Result profiles are named <class><number>.cho: each must belong to a listed class whose range
// holds the number.
void RepositoryChecker::checkResults(const QString &paper, int questionCount,
                                     const QList<ClassEntry> &classes)
{
    const QDir folder(m_paths.paperResultsFolder(paper));
    const QStringList files = folder.entryList(QDir::Files | QDir::Hidden, QDir::Name);
    const QString suffix = QStringLiteral(".cho");
    for (const QString &fileName : files) {
        if (!fileName.endsWith(suffix, Qt::CaseInsensitive))
            continue;
        const QString base = fileName.chopped(suffix.size());
        const ClassEntry *owner = nullptr;
        const ClassEntry *nearest = nullptr;
        QString number;
        for (const ClassEntry &entry : classes) {
            if (entry.name.isEmpty() || !base.startsWith(entry.name, Qt::CaseInsensitive))
                continue;
            const QString digits = base.mid(entry.name.size());
            bool isNumber = !digits.isEmpty();
            for (QChar c : digits)
                isNumber = isNumber && c >= QLatin1Char('0') && c <= QLatin1Char('9');
            if (!isNumber)
                continue;
            if (entry.holdsNumber(digits.toLongLong())) {
                owner = &entry;
                number = digits;
                break;
            }
            if (!nearest || entry.name.size() > nearest->name.size()) {
                nearest = &entry;
                number = digits;
            }
        }
        const QString path = folder.filePath(fileName);
        if (owner)
            checkResultProfile(path, *owner, number, questionCount);
        else if (nearest)
            report(relative(path), 0,
                   QStringLiteral("考号 %1 不在班级“%2”的考号范围 %3 至 %4 内")
                       .arg(number, nearest->name, QString::number(nearest->first),
                            QString::number(nearest->last)));
        else
            report(relative(path), 0,
                   QStringLiteral("成绩文件不属于任何已列出的班级(文件名应为班级名称加考号)"));
    }
}

void RepositoryChecker::checkResultProfile(const QString &path, const ClassEntry &entry,
                                           const QString &number, int questionCount)
{
    const LoadedProfile profile = load(path);
    checkNumber(profile, entry.name, ResultKeys::score(number));
    checkNumber(profile, entry.name, ResultKeys::position(number));
    for (int i = 1; i <= questionCount; ++i) {
        checkNumber(profile, entry.name, ResultKeys::answer(number, i), NumberRange::Any);
        checkNumber(profile, entry.name, ResultKeys::order(number, i));
    }
}

void RepositoryChecker::checkUnlistedFolders(const QString &folder, const QList<ListedName> &papers,
                                             const QString &message)
{
    const QStringList names =
        QDir(folder).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &name : names) {
        const bool listed =
            std::any_of(papers.cbegin(), papers.cend(), [&name](const ListedName &p) {
                return safePathPart(p.name).compare(name, Qt::CaseInsensitive) == 0;
            });
        if (!listed)
            report(relative(QDir(folder).filePath(name)), 0, message);
    }
}

QList<Finding> RepositoryChecker::run()
{
    using namespace SystemKeys;
    const LoadedProfile system = load(m_paths.systemProfile());
    const QList<ListedName> classNames = checkNameList(
        system, key(ClassSection), key(ClassCountKey), QStringLiteral("班级"), &checkClassName);
    const QList<ListedName> papers = checkNameList(system, key(PaperSection), key(PaperCountKey),
                                                   QStringLiteral("试卷"), &checkPaperName);
    const QList<ClassEntry> classes = readClassTable(system.snapshot);
    checkClasses(system, classes, classNames);
    checkPaperFlags(system, papers, classes);
    for (const ListedName &paper : papers)
        checkPaper(system, paper, classes);
    checkUnlistedFolders(m_paths.papersFolder(), papers,
                         QStringLiteral("试卷列表中没有这份试卷,控制台和考生都看不到它"));
    checkUnlistedFolders(m_paths.resultsFolder(), papers,
                         QStringLiteral("成绩文件夹不属于试卷列表中的任何试卷"));
    sortFindings(m_findings);
    return m_findings;
}

bool holdsRepository(const QString &root)
{
    const QStringList names = QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    return std::any_of(names.cbegin(), names.cend(), [](const QString &name) {
        return name.compare(QLatin1String("sys"), Qt::CaseInsensitive) == 0 ||
               name.compare(QLatin1String("SHIJUAN"), Qt::CaseInsensitive) == 0 ||
               name.compare(QLatin1String("CHENGJI"), Qt::CaseInsensitive) == 0;
    });
}

} // namespace

RepositoryCheck checkRepository(const QString &root)
{
    RepositoryCheck check;
    const QFileInfo info(root);
    if (!info.isDir() || !info.isReadable()) {
        check.error = QStringLiteral("文件夹不存在或无法读取: %1").arg(root);
        return check;
    }
    if (!holdsRepository(root)) {
        check.error =
            QStringLiteral("%1 不是考试库:其中没有 sys、SHIJUAN 或 CHENGJI 文件夹").arg(root);
        return check;
    }
    check.readable = true;
    check.findings = RepositoryChecker(QFileInfo(root).absoluteFilePath()).run();
    return check;
}

} // namespace exam::tool
