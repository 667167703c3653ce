#include "candidate/instructions_window.h"

#include "candidate/instructions.h"

#include "repository/profile_file.h"
#include "repository/repository_paths.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <QVBoxLayout>

namespace exam::candidate {

namespace {

QLabel *valueLabel(const QString &name, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

InstructionsWindow::InstructionsWindow(const QString &repositoryRoot, const CandidateState &state,
                                       QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("考试说明"));
    setWindowTitle(QStringLiteral("考试说明"));

    const exam::RepositoryPaths paths(repositoryRoot);
    const InstructionTexts texts = instructionTexts(
        exam::ProfileSnapshot::load(paths.paperProfile(state.paperName)), state.reviewMode);

    m_description = valueLabel(QStringLiteral("Label1"), texts.description, this);
    m_description->setWordWrap(true);
    m_description->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_description->setMinimumHeight(120);
    m_fullMark = valueLabel(QStringLiteral("Lab总分"), texts.fullMark, this);
    m_minutes = valueLabel(QStringLiteral("Lab考试总时间"), texts.minutes, this);
    m_questionCount = valueLabel(QStringLiteral("LAB总题数"), texts.questionCount, this);
    m_start = new QPushButton(texts.startCaption, this);
    m_start->setObjectName(QStringLiteral("Command1"));
    m_start->setDefault(true);
    m_start->setAutoDefault(true);

    auto *about = new QGroupBox(QStringLiteral("考试说明"), this);
    auto *aboutLayout = new QVBoxLayout(about);
    aboutLayout->addWidget(m_description);

    auto *figures = new QGridLayout;
    const auto addFigure = [&](int row, const QString &caption, QLabel *value,
                               const QString &unit) {
        auto *label = new QLabel(caption, this);
        label->setBuddy(value);
        // A screen reader meets the figures before their captions: each says both.
        value->setAccessibleName(
            QStringList{caption, value->text().trimmed(), unit}.join(u' ').trimmed());
        figures->addWidget(label, row, 0, Qt::AlignRight);
        figures->addWidget(value, row, 1);
        if (!unit.isEmpty())
            figures->addWidget(new QLabel(unit, this), row, 2);
    };
    addFigure(0, QStringLiteral("总分:"), m_fullMark, {});
    addFigure(1, QStringLiteral("考试时间:"), m_minutes, QStringLiteral("分钟"));
    addFigure(2, QStringLiteral("总题数:"), m_questionCount, {});
    figures->setColumnStretch(3, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(about, 1);
    layout->addLayout(figures);
    layout->addWidget(m_start, 0, Qt::AlignHCenter);
    resize(480, 320);

    connect(m_start, &QPushButton::clicked, this, &InstructionsWindow::startExam);
    m_start->setFocus();
}

void InstructionsWindow::startExam()
{
    if (m_startHook)
        m_startHook();
    close();
}

} // namespace exam::candidate
