#pragma once

// The system profile sys/sys.cho: classes with their examination-number ranges, the paper roster
// with open and review flags, which classes may sit which paper, the administrator password.
//
// Readers take a snapshot (one file read for all entries); each writer rewrites all of its entries
// in its fixed order as one atomic store and returns a failure (with a Chinese text) when the
// store failed, leaving the file as it was.

#include "repository/profile_file.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace exam {

namespace SystemKeys {
inline constexpr auto ClassSection = "ClassName";
inline constexpr auto ClassCountKey = "ClassNameCount";
inline constexpr auto ClassSizeSection = "ClassCount";
inline constexpr auto FirstNumberSection = "FirstNumber";
inline constexpr auto LastNumberSection = "LastNumber";
inline constexpr auto PaperSection = "TestName";
inline constexpr auto PaperCountKey = "TestNameCount";
inline constexpr auto ReviewSection = "LetViewTest";
inline constexpr auto AdminSection = "Admin";
inline constexpr auto PasswordKey = "pwd";
} // namespace SystemKeys

struct ClassEntry
{
    QString name;     // trimmed
    qint16 size = 0;  // ClassCount
    qint16 first = 0; // FirstNumber
    qint16 last = 0;  // LastNumber

    // An examination number belongs to the class when first <= number <= last.
    bool holdsNumber(qint64 number) const { return first <= number && number <= last; }
    friend bool operator==(const ClassEntry &, const ClassEntry &) = default;
};

struct PaperEntry
{
    QString name;       // trimmed
    QString openFlag;   // TestName/<paper>, trimmed text ("1" open for taking)
    QString reviewFlag; // LetViewTest/<paper>, trimmed text ("1" open for review; may be empty)

    bool isOpen() const;
    bool isReviewable() const;
    friend bool operator==(const PaperEntry &, const PaperEntry &) = default;
};

// Class table in list order; every number read with the default "0".
QList<ClassEntry> readClassTable(const ProfileSnapshot &systemProfile);
// ClassNameCount, then per class: its numbered key, ClassCount, FirstNumber, LastNumber.
Result writeClassTable(const QString &systemProfilePath, const QList<ClassEntry> &classes);

// Paper roster in list order. The open flag is read with "0"; the review flag with
// `reviewDefault` ("0" for paper management and the client).
QList<PaperEntry> readPaperRoster(const ProfileSnapshot &systemProfile,
                                  const QString &reviewDefault = QStringLiteral("0"));
// TestNameCount, then per paper its numbered key and open flag, then per paper its review flag.
Result writePaperRoster(const QString &systemProfilePath, const QList<PaperEntry> &papers);

// Who reads an admission flag decides what a missing flag means.
enum class AdmissionReader {
    ExamRoomWindow,      // missing = admitted
    ClientAtStartup,     // missing = not admitted
    ClientPaperListLeft, // missing = admitted
};
bool isAdmitted(const ProfileSnapshot &systemProfile, const QString &paper,
                const QString &className, AdmissionReader reader);

// One paper's row of the exam-room window: its open flag and, per class in list order, whether the
// class is admitted.
struct ExamRoomPaper
{
    QString name;
    bool open = false;
    QList<bool> admitted; // parallel to the class list passed to writeExamRooms()
};
// Per paper in list order: TestName/<paper>, then <paper>/<class> for every class in list order.
// A missing entry in `admitted` is written as "0".
Result writeExamRooms(const QString &systemProfilePath, const QList<ExamRoomPaper> &papers,
                      const QStringList &classNames);

// Admin/pwd, default "", trimmed.
QString readAdminPassword(const ProfileSnapshot &systemProfile);
Result writeAdminPassword(const QString &systemProfilePath, const QString &password);

} // namespace exam
