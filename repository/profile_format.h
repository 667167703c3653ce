#pragma once

// The byte-level form of profile files, under profile_file.h: encoding detection, line parsing,
// the index a snapshot answers from and the document a write changes. Files are kept as bytes in
// their own 8-bit encoding (GB18030 or UTF-8; UTF-16 files are held as UTF-8), so lines that a
// write does not touch are never decoded and come out byte for byte.

#include "repository/profile_file.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QString>
#include <optional>

namespace exam {

// The longest value a read returns, in bytes of the repository's GB18030 encoding.
inline constexpr qsizetype MaxValueBytes = 255;

// A file's bytes split from its byte order mark, in an 8-bit encoding the parser can scan.
struct ProfileText
{
    ProfileEncoding encoding = ProfileEncoding::Gb18030;
    QByteArray body; // GB18030 for Gb18030 files, UTF-8 for all others

    static ProfileText fromFileBytes(const QByteArray &fileBytes);
    QByteArray toFileBytes() const;
    bool isGb18030() const { return encoding == ProfileEncoding::Gb18030; }
};

// A stored value as a read returns it: cut at its first NUL, trimmed of blanks, one pair of
// matching outer quotes (" or ') removed, cut to 255 GB18030 bytes without splitting a character
// and the blanks before the cut removed.
QString profileValueText(QByteArrayView rawValue, bool gb18030);

// A default as a read returns it: without its trailing blanks (leading ones stay).
QString profileDefaultText(const QString &defaultValue);

// A value as a write stores it: one that a reader would take for a quoted value is put inside one
// more pair of double quotes, so that it reads back as it was written.
QString storedValueText(const QString &value);

// The case-folded, trimmed form under which section names and keys are compared.
QString foldProfileName(const QString &name);

// One scan of the file for one key, stopping at the first answer.
std::optional<QString> findProfileValue(const QByteArray &fileBytes, const QString &section,
                                        const QString &key);

// A section name or key as the index compares it: the name's bytes and which section it belongs
// to. Two names are the same when their bytes are equal with ASCII letters folded to lower case.
// The bytes are the name as it stands in the file when it is ASCII; any other name is held in its
// case-folded UTF-8 form (foldProfileName()), which an ASCII name's lowered bytes equal exactly
// when the folded names do. The bytes belong to the index that made the name.
struct ProfileName
{
    const char *bytes = nullptr;
    qsizetype size = 0;
    qsizetype section = -1; // for keys: the number of their section; -1 for section names
    size_t hash = 0;        // of the bytes with ASCII letters folded, and of the section
};
bool operator==(const ProfileName &a, const ProfileName &b);
inline size_t qHash(const ProfileName &name, size_t seed = 0)
{
    return name.hash ^ seed;
}

// Every key of every section, for many lookups. Names are indexed by the bytes they have in the
// file (folded without decoding when they are ASCII, as nearly all are), so building the index
// makes no string per key.
class ProfileIndex
{
public:
    static ProfileIndex build(const QByteArray &fileBytes);

    ProfileEncoding encoding() const { return m_text.encoding; }
    std::optional<QString> value(const QString &section, const QString &key) const;
    bool containsSection(const QString &section) const;
    // A section found once for many lookups of its keys (a student's hundred answers): its number,
    // or nothing when the file has no such section, then the value of a key in it.
    std::optional<qsizetype> sectionNumber(const QString &section) const;
    std::optional<QString> value(qsizetype sectionNumber, const QString &key) const;
    // The value's bytes as they stand in the file (in UTF-8 for a UTF-16 file), before any
    // trimming or decoding.
    std::optional<QByteArrayView> rawValue(qsizetype sectionNumber, const QString &key) const;
    // The 1-based line of the section header or of the key that reads answer from; 0 when missing.
    // Counted only when asked for.
    int sectionLine(const QString &section) const;
    int keyLine(const QString &section, const QString &key) const;
    // How many keys the index holds (the first of each name in the first section of each name).
    qsizetype keyCount() const { return m_keys.size(); }

private:
    struct Section
    {
        qsizetype number = -1;
        qsizetype headerStart = 0; // where the header line starts in the body
    };
    struct ValueRef
    {
        qsizetype start = -1; // in the body; -1: not set yet
        qsizetype length = 0;
    };
    std::optional<Section> findSection(const QString &section) const;
    std::optional<ValueRef> findKey(const QString &section, const QString &key) const;
    std::optional<ValueRef> findKey(qsizetype sectionNumber, const QString &key) const;
    ProfileName nameInFile(QByteArrayView raw, qsizetype section);
    int lineAt(qsizetype offset) const;

    ProfileText m_text;
    QList<QByteArray> m_foldedNames; // the folded form of names that are not ASCII
    QHash<ProfileName, Section> m_sections;
    QHash<ProfileName, ValueRef> m_keys;
};

// A file's lines, changed by writes and turned back into bytes.
class ProfileDocument
{
public:
    static ProfileDocument parse(const QByteArray &fileBytes);

    // Stores one value as writeProfileString() does. Returns false, changing nothing, when the
    // section or key cannot be written as a name (see isWritableSection(), isWritableKey()).
    bool set(const QString &section, const QString &key, const QString &value);
    bool isModified() const { return m_modified; }
    ProfileEncoding encoding() const { return m_encoding; }
    QByteArray toBytes() const;

    // A name may be empty ("[]", "=value"); it must not hold a line break or NUL, a section name
    // no "]", a key no "=" and not start with "[" or ";".
    static bool isWritableSection(const QString &section);
    static bool isWritableKey(const QString &key);

private:
    enum class Kind { Other, Comment, Section, Key };
    struct Line
    {
        QByteArray content;
        QByteArray eol;
        Kind kind = Kind::Other;
        qsizetype nameStart = 0; // the trimmed section name or key within `content`
        qsizetype nameLength = 0;
        qsizetype valueStart = 0; // for keys: first byte after "="
        QByteArrayView name() const
        {
            return QByteArrayView(content).sliced(nameStart, nameLength);
        }
    };
    QByteArray encode(const QString &text) const;
    QByteArray lineEnd() const;
    void classify(Line &line) const;

    ProfileEncoding m_encoding = ProfileEncoding::Gb18030;
    QByteArray m_body; // never changed: unchanged lines refer to its bytes
    QByteArray m_eol;  // the file's first line end; empty for a file without one
    QList<Line> m_lines;
    bool m_modified = false;
};

} // namespace exam
