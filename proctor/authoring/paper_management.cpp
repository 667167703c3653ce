#include "proctor/authoring/paper_management.h"

#include "platform/dialogs/dialogs.h"
#include "proctor/authoring/authoring_hooks.h"
#include "proctor/authoring/current_paper.h"
#include "proctor/authoring/paper_transfer.h"
#include "repository/name_rules.h"
#include "repository/paper_profile.h"
#include "repository/profile_values.h"

#include <QFileInfo>

namespace exam {

namespace {

QString flagText(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

bool isNumberColumn(PaperColumn column)
{
    switch (column) {
    case PaperColumn::TestTime:
    case PaperColumn::AGrade:
    case PaperColumn::BGrade:
    case PaperColumn::CGrade:
    case PaperColumn::DGrade: return true;
    default: return false;
    }
}

bool isFlagColumn(PaperColumn column)
{
    switch (column) {
    case PaperColumn::Open:
    case PaperColumn::ExerciseMode:
    case PaperColumn::DisplayScore:
    case PaperColumn::QuestionSort:
    case PaperColumn::Review: return true;
    default: return false;
    }
}

bool isPasswordColumn(PaperColumn column)
{
    return column == PaperColumn::RetestPassword || column == PaperColumn::ReloginPassword;
}

QString failureReport(const SaveAllResult &result)
{
    return QStringLiteral("保存时未能完成以下操作:\n") + result.errors.join(u'\n');
}

} // namespace

QString numberFieldText(const QString &text)
{
    return shortestNumberText(leadingNumber(text));
}

DrawCountText drawCountText(const QString &typed, const QString &questionCount)
{
    const double drawn = leadingNumber(typed);
    const double available = leadingNumber(questionCount);
    if (drawn > available)
        return {shortestNumberText(available), true};
    return {shortestNumberText(drawn), false};
}

QString drawTotalText(const QString &defaultMark, const QString &drawCount)
{
    return shortestNumberText(leadingNumber(defaultMark) * leadingNumber(drawCount));
}

PaperManagement::PaperManagement(const QString &repositoryRoot, platform::Dialogs &dialogs,
                                 QObject *parent)
    : QObject(parent), m_paths(repositoryRoot), m_dialogs(dialogs)
{}

void PaperManagement::open()
{
    m_created.clear();
    m_deleted.clear();
    m_table = PaperTable::load(m_paths);
    m_selection = -1;
    emit listChanged();
    if (!m_table.isEmpty())
        select(0);
}

const PaperRow *PaperManagement::selectedRow() const
{
    if (m_selection < 0 || m_selection >= m_table.count())
        return nullptr;
    return &m_table.row(m_selection);
}

PaperRow *PaperManagement::row()
{
    if (m_selection < 0 || m_selection >= m_table.count())
        return nullptr;
    return &m_table.row(m_selection);
}

void PaperManagement::showMessage(const QString &text)
{
    m_dialogs.message(nullptr, text);
}

QString PaperManagement::applyDrawCount(PaperRow &r, const QString &text)
{
    const DrawCountText drawn = drawCountText(text, r.at(PaperColumn::QuestionCount));
    if (drawn.exceeded)
        showMessage(QStringLiteral("抽取的考题数不能超过考题总数！"));
    r.set(PaperColumn::DrawCount, trimBlanks(drawn.text));
    r.set(PaperColumn::FullMark, drawTotalText(r.at(PaperColumn::DefaultMark), drawn.text));
    return drawn.text;
}

// What filling the panel from a row leaves in the row: every shown field went through its
// handler, so the row holds the normalised texts.
void PaperManagement::normaliseShownRow(PaperRow &r)
{
    for (const PaperColumn column : {PaperColumn::TestTime, PaperColumn::AGrade,
                                     PaperColumn::BGrade, PaperColumn::CGrade, PaperColumn::DGrade})
        r.set(column, numberFieldText(trimBlanks(r.at(column))));
    for (const PaperColumn column : {PaperColumn::Author, PaperColumn::About, PaperColumn::FullMark,
                                     PaperColumn::QuestionCount, PaperColumn::DefaultMark})
        r.set(column, trimBlanks(r.at(column)));
    for (const PaperColumn column :
         {PaperColumn::ExerciseMode, PaperColumn::DisplayScore, PaperColumn::QuestionSort,
          PaperColumn::Open, PaperColumn::Review})
        r.set(column, flagText(profileFlag(r.at(column))));
    if (profileNumber(r.at(PaperColumn::RandomDraw)) == 0) {
        r.set(PaperColumn::RandomDraw, flagText(false));
    } else {
        r.set(PaperColumn::RandomDraw, flagText(true));
        applyDrawCount(r, numberFieldText(r.at(PaperColumn::DrawCount)));
    }
}

void PaperManagement::select(int index)
{
    if (index < 0 || index >= m_table.count()) {
        m_selection = -1;
        emit paperShown();
        return;
    }
    m_selection = index;
    PaperRow &r = m_table.row(index);
    setCurrentPaper(r.name());
    normaliseShownRow(r);
    emit paperShown();
}

QString PaperManagement::editNumber(PaperColumn column, const QString &text)
{
    PaperRow *r = row();
    if (!r || !isNumberColumn(column))
        return text;
    const QString shown = numberFieldText(text);
    r->set(column, trimBlanks(shown));
    return shown;
}

QString PaperManagement::editAuthor(const QString &text)
{
    const QString trimmed = trimBlanks(text);
    if (PaperRow *r = row())
        r->set(PaperColumn::Author, trimmed);
    return trimmed;
}

void PaperManagement::editInstructions(const QString &text)
{
    if (PaperRow *r = row())
        r->set(PaperColumn::About, trimBlanks(text));
}

void PaperManagement::editPassword(PaperColumn column, const QString &text)
{
    if (PaperRow *r = row(); r && isPasswordColumn(column))
        r->set(column, text);
}

QString PaperManagement::setPasswordOn(PaperColumn column, bool on)
{
    PaperRow *r = row();
    if (!r || !isPasswordColumn(column))
        return {};
    QString password;
    if (on)
        password =
            column == PaperColumn::RetestPassword ? QStringLiteral("358") : QStringLiteral("469");
    r->set(column, password);
    return password;
}

void PaperManagement::setFlag(PaperColumn column, bool on)
{
    if (PaperRow *r = row(); r && isFlagColumn(column))
        r->set(column, flagText(on));
}

QString PaperManagement::setRandomDraw(bool on)
{
    PaperRow *r = row();
    if (!r)
        return {};
    r->set(PaperColumn::RandomDraw, flagText(on));
    const QString drawn = numberFieldText(r->at(PaperColumn::DrawCount));
    return on ? applyDrawCount(*r, drawn) : drawn;
}

QString PaperManagement::editDrawCount(const QString &text)
{
    PaperRow *r = row();
    if (!r)
        return text;
    return applyDrawCount(*r, text);
}

void PaperManagement::newPaper()
{
    const std::optional<QString> answer =
        m_dialogs.input(nullptr, QStringLiteral("请输入新建的试卷名称 "),
                        QStringLiteral("输入试卷名称"), QString());
    const QString name = trimBlanks(answer.value_or(QString()));
    // Folder names and the system profile's keys ignore letter case, so a name that differs only
    // in case would share the other paper's folders and flags.
    if (m_table.containsName(name, Qt::CaseInsensitive)) {
        showMessage(QStringLiteral("您输入的试卷名称与已有试卷重名,请重新输入!"));
        return;
    }
    if (name.isEmpty()) {
        select(static_cast<int>(m_table.count()) - 1);
        emit listChanged();
        return;
    }
    if (const NameCheck check = checkPaperName(name); !check) {
        showMessage(check.reason);
        return;
    }
    m_table.append(newPaperRow(name));
    m_created << name;
    select(static_cast<int>(m_table.count()) - 1);
    emit listChanged();
}

void PaperManagement::deletePaper()
{
    const PaperRow *r = selectedRow();
    if (!r)
        return;
    if (m_table.count() == 1) {
        showMessage(QStringLiteral("不能删除最后一张试卷!"));
        return;
    }
    if (!m_dialogs.okCancel(nullptr, QStringLiteral("您确认要删除该试卷的所有数据?")))
        return;
    m_deleted << r->name();
    m_table.remove(m_selection);
    select(0);
    emit listChanged();
    showMessage(QStringLiteral("该试卷已经被删除!"));
}

void PaperManagement::moveUp()
{
    if (m_selection <= 0 || m_selection >= m_table.count())
        return;
    m_table.swap(m_selection, m_selection - 1);
    select(m_selection - 1);
    emit listChanged();
}

void PaperManagement::moveDown()
{
    if (m_selection < 0 || m_selection >= m_table.count() - 1)
        return;
    m_table.swap(m_selection, m_selection + 1);
    select(m_selection + 1);
    emit listChanged();
}

SaveAllResult PaperManagement::storeAll(bool report)
{
    SaveAllResult result = saveAllPapers(m_paths, m_table, m_created, m_deleted);
    m_created = result.createdLeft;
    m_deleted = result.deletedLeft;
    if (report && !result.ok())
        showMessage(failureReport(result));
    return result;
}

bool PaperManagement::saveAll()
{
    return storeAll(true).ok();
}

bool PaperManagement::save()
{
    if (!saveAll())
        return false;
    showMessage(QStringLiteral("试卷已保存!"));
    return true;
}

bool PaperManagement::saveForClosing()
{
    const SaveAllResult result = storeAll(false);
    if (result.ok())
        return true;
    return m_dialogs.yesNo(nullptr,
                           failureReport(result) +
                               QStringLiteral("\n\n其余的都已保存。是否仍然关闭试卷管理?"),
                           platform::Dialogs::Button::No);
}

void PaperManagement::editPaper()
{
    if (!selectedRow())
        return;
    const int index = m_selection;
    // Another paper's failure is reported, but only this paper's own failure keeps the editor shut.
    if (!storeAll(true).savedPaper(m_table.row(index).name()))
        return;
    setCurrentPaper(m_table.row(index).name());
    if (const AuthoringAction &open = paperEditorOpener())
        open(AuthoringRequest{&m_dialogs, m_paths.root(), m_table.row(index)});
    else
        showMessage(QStringLiteral("试卷编辑功能尚未提供!"));

    // The editor may have changed the question count and the marks.
    if (index >= m_table.count())
        return;
    PaperRow &r = m_table.row(index);
    const QString name = currentPaper();
    const PaperSettings stored =
        readPaperSettings(ProfileSnapshot::load(m_paths.paperProfile(name)), PaperReader::Console);
    r.set(PaperColumn::QuestionCount, stored.questionCount);
    r.set(PaperColumn::FullMark, stored.fullMark);
    r.set(PaperColumn::DefaultMark, stored.defaultMark);
    select(index);
}

void PaperManagement::exportPaper()
{
    const PaperRow *r = selectedRow();
    if (!r)
        return;
    const QString chosen =
        m_dialogs.chooseFolder(nullptr, QStringLiteral("Output paper to ..."), QString());
    if (chosen.isEmpty())
        return;
    const TransferResult result = exportPaperFolder(m_paths, r->name(), chosen);
    showMessage(result.ok ? QStringLiteral("试卷已经输出!") : result.error);
}

void PaperManagement::importPaper()
{
    const QString chosen =
        trimBlanks(m_dialogs.openFile(nullptr, QStringLiteral("请选定要导入的试卷文件"),
                                      m_paths.root(), QStringLiteral("CHO Files (*.CHO)")));
    if (chosen.isEmpty())
        return;
    const QString title = trimBlanks(QFileInfo(chosen).fileName());
    if (!title.contains(QStringLiteral(".cho"), Qt::CaseInsensitive)) {
        showMessage(QStringLiteral("请选择试卷文件(扩展名为 .cho)!"));
        return;
    }
    const QString name = paperNameFromProfileFile(title);
    if (importNameClashes(m_table.names(), name)) {
        showMessage(QStringLiteral("您输入的试卷与已有试卷重名,请重新输入!"));
        return;
    }
    if (const NameCheck check = checkPaperName(name); !check) {
        showMessage(check.reason);
        return;
    }
    const TransferResult copied = importPaperFolder(m_paths, name, chosen);
    if (!copied.ok) {
        showMessage(copied.error);
        return;
    }
    // The import has just made and filled the folders: a deletion or creation of the same name
    // still pending from before must not empty them at the next save.
    const auto sameName = [&name](const QString &pending) {
        return trimBlanks(pending).compare(name, Qt::CaseInsensitive) == 0;
    };
    m_created.removeIf(sameName);
    m_deleted.removeIf(sameName);

    PaperRow imported(name);
    imported.set(PaperColumn::Open, QStringLiteral("1"));
    fillRowFromProfile(imported, ProfileSnapshot::load(m_paths.paperProfile(name)));
    m_table.append(imported);
    select(static_cast<int>(m_table.count()) - 1);
    emit listChanged();
    showMessage(QStringLiteral("试卷已经成功导入!"));
}

void PaperManagement::exportToWord()
{
    // With no paper selected the export runs on an empty row and ends with its failure message.
    const PaperRow *r = selectedRow();
    if (const AuthoringAction &exportPaper = wordExporter())
        exportPaper(AuthoringRequest{&m_dialogs, m_paths.root(), r ? *r : PaperRow()});
    else
        showMessage(QStringLiteral("输出到 WORD 的功能尚未提供!"));
}

void PaperManagement::exportToPdf()
{
    const PaperRow *r = selectedRow();
    if (const AuthoringAction &exportPaper = pdfExporter())
        exportPaper(AuthoringRequest{&m_dialogs, m_paths.root(), r ? *r : PaperRow()});
    else
        showMessage(QStringLiteral("输出到 PDF 的功能尚未提供!"));
}

} // namespace exam
