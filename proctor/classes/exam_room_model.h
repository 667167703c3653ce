#pragma once

#include "repository/system_profile.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

namespace exam {

inline const QString YesText = QStringLiteral("是");
inline const QString NoText = QStringLiteral("否");

// "是" becomes "否" and "否" becomes "是"; any other text (a blank row) stays.
QString toggledFlagText(const QString &text);

// State of the exam-room window: per paper its open flag, per class and paper the admission, all
// held as "是"/"否" until the window writes them on "确定".
//
// Until a paper is selected the class column shows a scratch column that belongs to no paper:
// it starts blank, takes the toggles and the two "all" buttons, and is never written.
class ExamRoomModel : public QObject
{
    Q_OBJECT

public:
    explicit ExamRoomModel(QObject *parent = nullptr);

    // Papers and classes in list order; a missing admission entry counts as admitted.
    void load(const ProfileSnapshot &systemProfile);

    const QStringList &paperNames() const { return m_papers; }
    const QStringList &classNames() const { return m_classes; }
    // One "是"/"否" per paper.
    const QStringList &openTexts() const { return m_open; }
    // One row per class for the selected paper (the scratch column when none is selected).
    QStringList admissionTexts() const;
    QString admissionText(int paper, int classRow) const;

    int selectedPaper() const { return m_selectedPaper; }
    void selectPaper(int paper);
    void toggleOpen(int paper);
    void toggleAdmission(int classRow);
    void admitAll();
    void admitNone();

    // Everything "确定" writes: every paper with every class, in list order.
    QList<ExamRoomPaper> papersToWrite() const;

signals:
    void openChanged();
    void admissionChanged();

private:
    QStringList &shownColumn();
    void setShownColumn(const QString &text);

    QStringList m_papers;
    QStringList m_open;
    QStringList m_classes;
    QList<QStringList> m_admission; // per paper, one text per class
    QStringList m_scratch;          // the column shown while no paper is selected
    int m_selectedPaper = -1;
};

} // namespace exam
