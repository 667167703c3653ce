#include "proctor/authoring/paper_editor.h"

#include "interchange/question_readers.h"
#include "platform/dialogs/dialogs.h"
#include "platform/rtf/rtf.h"
#include "proctor/authoring/editor_working_folder.h"
#include "repository/atomic_save.h"
#include "repository/profile_values.h"
#include "repository/random_source.h"

#include <QDir>
#include <QFile>
#include <QTextDocument>

#include <limits>
#include <tuple>

namespace exam {

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace

PaperEditor::PaperEditor(const QString &repositoryRoot, const QString &paper,
                         const QString &workingFolder, platform::Dialogs &dialogs,
                         RandomSource &random, QObject *parent)
    : QObject(parent), m_paths(repositoryRoot), m_paper(trimBlanks(paper)),
      m_workingFolder(workingFolder), m_dialogs(dialogs), m_random(random),
      m_frameCaption(QStringLiteral("题目")), m_questionDoc(new QTextDocument(this)),
      m_explanationDoc(new QTextDocument(this))
{
    connect(m_questionDoc, &QTextDocument::contentsChanged, this, &PaperEditor::questionTextEdited);
    connect(m_explanationDoc, &QTextDocument::contentsChanged, this,
            &PaperEditor::explanationEdited);
}

Result PaperEditor::open()
{
    setModified(false);
    if (Result prepared = prepareWorkingFolder(m_workingFolder); !prepared)
        return prepared;
    // Nothing is copied yet (see workingCopy()): the grid's texts come from the paper folder.
    const QString folder = paperFolder();
    const PaperData paper = loadPaper(m_paths.paperProfile(m_paper));
    QStringList texts;
    texts.reserve(paper.questionCount);
    for (int k = 1; k <= paper.questionCount; ++k)
        texts.append(rtf::rtfPlainText(
            fileBytes(paperQuestionFile(folder, paper.question(k).questionFile))));
    m_table = QuestionTable(paper, texts);
    m_current = 0;
    m_activated = false;
    emit listChanged();
    return {};
}

void PaperEditor::activate()
{
    if (m_activated)
        return;
    m_activated = true;
    // The blank question of an empty paper is the window's own doing, not the teacher's.
    if (m_table.count() < 1 && insertBlank() == 0)
        return;
    select(1);
}

QString PaperEditor::windowTitle() const
{
    return QStringLiteral("编辑试卷 --") + m_paper;
}

QString PaperEditor::workingFile(const QString &fileName) const
{
    const QString name = trimBlanks(fileName);
    return name.isEmpty() ? QString() : resolvePath(m_workingFolder, {name});
}

QString PaperEditor::paperFolder() const
{
    return m_paths.paperFolder(m_paper);
}

// A question's file is copied into the working folder the first time the question is shown, so
// opening a large paper copies nothing; one that cannot be copied shows as empty, as a missing one.
QString PaperEditor::workingCopy(const QString &fileName)
{
    std::ignore = copyQuestionFile(paperFolder(), m_workingFolder, fileName);
    return workingFile(fileName);
}

OptionTicks PaperEditor::answerTicks() const
{
    return m_table.isValidRow(m_current) ? ticksFromAnswer(m_table.question(m_current).answer)
                                         : OptionTicks{};
}

void PaperEditor::setModified(bool modified)
{
    if (m_modified == modified)
        return;
    m_modified = modified;
    emit modifiedChanged(modified);
}

void PaperEditor::showMessage(const QString &text)
{
    m_dialogs.message(nullptr, text);
}

void PaperEditor::loadDocument(QTextDocument *document, const QString &path)
{
    m_filling = true;
    // Loading a question is not a step the teacher can undo.
    document->setUndoRedoEnabled(false);
    if (path.isEmpty() || !rtf::loadRtfFile(path, document))
        document->clear();
    document->setUndoRedoEnabled(true);
    document->setModified(false);
    m_filling = false;
}

// Only a changed document is written: an untouched file keeps its bytes, including anything the
// editor cannot show. A changed document without a file gets a new one, so no typing is lost.
bool PaperEditor::saveDocument(QTextDocument *document, QString &path, bool isQuestionFile)
{
    if (!document->isModified())
        return true;
    if (path.isEmpty()) {
        if (!m_table.isValidRow(m_current))
            return true;
        QString name;
        path = newWorkingFile(&name);
        if (path.isEmpty())
            return false;
        if (isQuestionFile)
            m_table.setQuestionFile(m_current, name);
        else
            m_table.setExplainFile(m_current, name);
    }
    if (const Result saved = rtf::saveRtfFile(path, *document); !saved) {
        showMessage(saved.message());
        return false;
    }
    document->setModified(false);
    return true;
}

bool PaperEditor::saveEditors()
{
    const bool question = saveDocument(m_questionDoc, m_questionPath, true);
    const bool explanation = saveDocument(m_explanationDoc, m_explanationPath, false);
    return question && explanation;
}

// A new empty question file in the working folder; its path, and its bare name in `name`.
QString PaperEditor::newWorkingFile(QString *name)
{
    *name = NewQuestionFileNames(m_workingFolder, paperFolder()).next(m_random);
    if (name->isEmpty()) {
        showMessage(
            QStringLiteral("无法在工作文件夹 %1 中为考题取得新的文件名。").arg(m_workingFolder));
        return {};
    }
    const QString path = workingFile(*name);
    if (const Result saved = rtf::saveRtfFile(path, QTextDocument()); !saved) {
        showMessage(saved.message());
        return {};
    }
    return path;
}

void PaperEditor::select(int row)
{
    if (!m_table.isValidRow(row))
        return;
    // A question whose text could not be written stays on screen, so nothing typed is lost; the
    // window puts its row back as the current one.
    if (!saveEditors()) {
        emit currentChanged();
        return;
    }
    m_current = row;
    emit currentChanged();
    showQuestion();
}

void PaperEditor::showQuestion()
{
    if (!m_table.isValidRow(m_current))
        return;
    const PaperQuestion &q = m_table.question(m_current);
    m_questionPath = workingCopy(q.questionFile);
    m_explanationPath = workingCopy(q.explainFile);
    loadDocument(m_questionDoc, m_questionPath);
    loadDocument(m_explanationDoc, m_explanationPath);
    m_usesDefaultMark = trimBlanks(q.mark).isEmpty();
    m_markFieldText = m_usesDefaultMark ? blankSignedNumberText(m_table.defaultMark()) : q.mark;
    updateCaption(QStringLiteral("  总分:"));
    emit questionShown();
}

void PaperEditor::updateCaption(const QString &totalLabel)
{
    m_frameCaption = QStringLiteral("题号:") + QString::number(m_current) +
                     QStringLiteral("   总题数:") + QString::number(m_table.count()) + totalLabel +
                     QString::number(m_table.total());
    emit captionChanged();
}

void PaperEditor::previous()
{
    if (m_current > 1)
        select(m_current - 1);
}

void PaperEditor::next()
{
    if (m_current < m_table.count())
        select(m_current + 1);
    else
        insert();
}

void PaperEditor::moveUp()
{
    if (!m_table.moveUp(m_current))
        return;
    // The question moves with its files, so the editors keep showing it.
    --m_current;
    emit listChanged();
    emit currentChanged();
    updateCaption(QStringLiteral("  总分:"));
    setModified(true);
}

void PaperEditor::moveDown()
{
    if (!m_table.moveDown(m_current))
        return;
    ++m_current;
    emit listChanged();
    emit currentChanged();
    updateCaption(QStringLiteral("  总分:"));
    setModified(true);
}

int PaperEditor::insertBlank()
{
    if (!saveEditors())
        return 0;
    QString questionName;
    QString explainName;
    if (newWorkingFile(&questionName).isEmpty() || newWorkingFile(&explainName).isEmpty())
        return 0;
    const int row = m_table.insertAfter(m_current, questionName, explainName);
    if (row == 0) {
        showMessage(QStringLiteral("试卷的考题数已达上限,不能再插入考题!"));
        return 0;
    }
    emit listChanged();
    m_current = row;
    emit currentChanged();
    showQuestion();
    emit questionEditorWanted();
    return row;
}

void PaperEditor::insert()
{
    if (insertBlank() != 0)
        setModified(true);
}

void PaperEditor::remove()
{
    const int row = m_table.isValidRow(m_current) ? m_current : 1;
    if (m_table.count() == 1) {
        showMessage(QStringLiteral("不能删除最后一个考题!"));
        return;
    }
    // The deleted question's unsaved typing goes with it; writing it back could only fail in the
    // way of showing the question above.
    m_questionDoc->setModified(false);
    m_explanationDoc->setModified(false);
    if (!m_table.remove(row))
        return;
    emit listChanged();
    setModified(true);
    // The question above becomes current; after the first question the new first one is shown,
    // so the editors never keep a deleted question in which typing would be lost.
    m_current = 0;
    select(row > 1 ? row - 1 : 1);
}

void PaperEditor::setAnswerTicks(const OptionTicks &ticks)
{
    if (!m_table.isValidRow(m_current))
        return;
    m_table.setAnswer(m_current, answerFromTicks(ticks));
    setModified(true);
}

void PaperEditor::setUsesDefaultMark(bool on)
{
    m_usesDefaultMark = on;
    if (on) {
        m_markFieldText = blankSignedNumberText(m_table.defaultMark());
        m_table.setMark(m_current, QString());
    } else {
        m_table.setMark(m_current, trimBlanks(m_markFieldText));
    }
    setModified(true);
    updateCaption(QStringLiteral("  总分:"));
    emit questionShown();
}

void PaperEditor::editOwnMark(const QString &text)
{
    m_markFieldText = text;
    if (m_table.isValidRow(m_current))
        m_table.setMark(m_current, trimBlanks(text));
    setModified(true);
    updateCaption(QStringLiteral("  总分:"));
}

void PaperEditor::editDefaultMark(const QString &text)
{
    m_table.setDefaultMark(profileNumber(text));
    if (m_usesDefaultMark) {
        m_markFieldText = blankSignedNumberText(m_table.defaultMark());
        emit questionShown();
    }
    updateCaption(QStringLiteral("  总分数:"));
    setModified(true);
}

void PaperEditor::questionTextEdited()
{
    if (m_filling)
        return;
    if (m_table.isValidRow(m_current)) {
        m_table.setPlainText(m_current, m_questionDoc->toPlainText());
        emit rowTextChanged(m_current);
    }
    setModified(true);
}

void PaperEditor::explanationEdited()
{
    if (!m_filling)
        setModified(true);
}

bool PaperEditor::importQuestion(const QString &sourceFolder, const PaperQuestion &source,
                                 const QString &plainText)
{
    if (!saveEditors())
        return false;
    PaperQuestion copy = source;
    QStringList made;
    const auto dropMade = [&made] {
        for (const QString &path : std::as_const(made))
            QFile::remove(path);
    };
    for (QString *name : {&copy.questionFile, &copy.explainFile}) {
        const QString sourceName = trimBlanks(*name);
        // The new name is taken by an empty file first, so the second draw cannot repeat it; a
        // missing source leaves that empty file.
        const QString to = newWorkingFile(name);
        if (to.isEmpty()) {
            dropMade();
            return false;
        }
        made << to;
        const QString from = resolvePath(sourceFolder, {sourceName});
        if (sourceName.isEmpty() || !QFile::exists(from))
            continue;
        if (const Result copied = copyFileAtomically(from, to); !copied) {
            dropMade();
            showMessage(QStringLiteral("考题没有导入: %1").arg(copied.message()));
            return false;
        }
    }
    const int row = m_table.append(copy, plainText);
    if (row == 0) {
        dropMade();
        showMessage(QStringLiteral("试卷的考题数已达上限,不能再插入考题!"));
        return false;
    }
    emit listChanged();
    m_current = row;
    emit currentChanged();
    showQuestion();
    setModified(true);
    return true;
}

namespace {

// The report after an import: the questions left out, with their lines (the first twenty).
QString skippedReport(int added, const QList<interchange::SkippedQuestion> &skipped)
{
    constexpr qsizetype Shown = 20;
    QString text =
        QStringLiteral("已导入 %1 道考题。以下 %2 道考题没有导入:").arg(added).arg(skipped.size());
    for (qsizetype i = 0; i < std::min(Shown, skipped.size()); ++i)
        text += QStringLiteral("\n第 %1 行: %2").arg(skipped.at(i).line).arg(skipped.at(i).reason);
    if (skipped.size() > Shown)
        text += QStringLiteral("\n……");
    return text;
}

} // namespace

void PaperEditor::importQuestionFile()
{
    const QString path =
        m_dialogs.openFile(nullptr, QStringLiteral("导入题目"), QDir::homePath(),
                           QStringLiteral("考题文件 (*.txt *.gift *.xml);;所有文件 (*)"));
    if (path.isEmpty())
        return;
    const interchange::ReadResult read = interchange::readQuestionFile(path);
    if (!read.ok()) {
        const QString place =
            read.errorLine > 0 ? QStringLiteral("第 %1 行: ").arg(read.errorLine) : QString();
        m_dialogs.message(nullptr,
                          QStringLiteral("文件有错误,没有导入任何考题。\n%1\n%2%3")
                              .arg(QDir::toNativeSeparators(path), place, read.error),
                          platform::Dialogs::Icon::Warning);
        return;
    }
    if (read.questions.isEmpty()) {
        m_dialogs.message(nullptr, skippedReport(0, read.skipped),
                          platform::Dialogs::Icon::Warning);
        return;
    }
    if (importQuestions(read.questions) && !read.skipped.isEmpty())
        m_dialogs.message(nullptr,
                          skippedReport(static_cast<int>(read.questions.size()), read.skipped),
                          platform::Dialogs::Icon::Information);
}

bool PaperEditor::importQuestions(const QList<interchange::InterchangeQuestion> &questions)
{
    if (!saveEditors())
        return false;
    if (m_table.count() + questions.size() > std::numeric_limits<qint16>::max()) {
        showMessage(QStringLiteral("试卷的考题数已达上限,不能再插入考题!"));
        return false;
    }
    // Every file is written before the table changes, so a failure leaves the paper as it was.
    QStringList names;
    const auto dropWritten = [this, &names] {
        for (const QString &name : std::as_const(names))
            QFile::remove(QDir(m_workingFolder).filePath(name));
    };
    NewQuestionFileNames namer(m_workingFolder, paperFolder());
    for (const interchange::InterchangeQuestion &q : questions) {
        for (const QByteArray *rtf : {&q.questionRtf, &q.explanationRtf}) {
            const QString name = namer.next(m_random);
            // A handed-out name is free in any letter case and has no temporaries beside it.
            const Result saved =
                name.isEmpty() ? Result::failure(QStringLiteral("工作文件夹中没有可用的文件名"))
                               : saveFileAtomically(QDir(m_workingFolder).filePath(name), *rtf,
                                                    LeftoverTemporaries::RemovedByCaller);
            if (!saved) {
                dropWritten();
                showMessage(QStringLiteral("考题没有导入: %1").arg(saved.message()));
                return false;
            }
            names.append(name);
        }
    }
    int row = m_current;
    for (qsizetype i = 0; i < questions.size(); ++i) {
        const interchange::InterchangeQuestion &q = questions.at(i);
        row = m_table.insertAfter(row, names.at(2 * i), names.at(2 * i + 1));
        m_table.setAnswer(row, q.answer);
        m_table.setMark(row, q.mark);
        m_table.setPlainText(row, rtf::rtfPlainText(q.questionRtf));
    }
    emit listChanged();
    m_current = row - static_cast<int>(questions.size()) + 1;
    emit currentChanged();
    showQuestion();
    setModified(true);
    return true;
}

Result PaperEditor::save()
{
    if (!saveEditors())
        return Result::failure(QStringLiteral("考题文件无法保存,试卷没有保存。"));
    const QString folder = paperFolder();
    // Files first, then the profile that names them, then the files nobody names any more: a client
    // reading the paper meanwhile never meets a profile naming a file that is not there yet. The
    // working folder holds the files of the questions shown and of the new ones; the others are in
    // the paper folder as they were.
    Result stored = copyRtfFiles(m_workingFolder, folder);
    if (stored)
        stored = savePaper(m_paths.paperProfile(m_paper), m_table.paperToSave());
    if (!stored)
        return Result::failure(QStringLiteral("试卷没有保存: ") + stored.message());
    // The paper is saved: files no question names are only leftovers, which the next save removes
    // when they cannot go now.
    std::ignore = removeUnnamedRtfFiles(folder, m_table.referencedFiles());
    setModified(false);
    return {};
}

bool PaperEditor::confirmClose()
{
    if (!m_modified)
        return true;
    return m_dialogs.yesNo(nullptr, QStringLiteral("您是否不保存修改并退出?"),
                           platform::Dialogs::Button::No);
}

void PaperEditor::clearWorkingFolder()
{
    // Copies left behind are removed when the editor opens next (prepareWorkingFolder).
    std::ignore = removeRtfFiles(m_workingFolder);
}

} // namespace exam
