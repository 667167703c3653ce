#pragma once

// Profile files: INI-style text files (".cho") in which every record of the repository lives.
// Every reader and writer here keeps the rules of the Windows profile functions:
// - Section names and keys match ignoring letter case and blanks at both ends; blanks are spaces,
//   a tab belongs to the name. The first section of a name and the first key of a name within it
//   count; keys before the first section belong to none. "[]" and "=v" hold the empty name.
// - A line whose first non-blank character is ";" is a comment. A section name ends at the last
//   "]" of its line; a line starting with "[" that holds no "]" opens no section.
// - A value read is cut at its first NUL, trimmed of blanks, freed of one pair of matching outer
//   quotes (" or '), cut to 255 bytes (in GB18030, never inside a character) and trimmed at the
//   cut. A default is returned without its trailing blanks.
// - Files are GB18030. A file with a UTF-8 or UTF-16LE byte order mark, or of valid UTF-8 that
//   reads as more plausible Chinese than as GB18030 (profile_encoding.h), keeps that form.
// - A write changes one line (or adds a key after its section's last entry, or a section at the
//   end); every other byte stays. New files get CRLF line ends, existing ones keep theirs, a
//   rewritten last line without one gets one. CR, LF and NUL in a value become blanks; a value a
//   reader would take for a quoted one is stored in one more pair of double quotes.
// - Every store is atomic (temporary file, flushed, renamed over the old one, its permission
//   bits kept); a failed store leaves the old file whole. One whose values are stored already
//   leaves the file untouched. A missing file's case variant in its folder is the one read and
//   written. A file larger than 64 MB is not a profile: reads give defaults and writes fail.
// Nothing here is cached between calls; every call opens, reads (and stores) and closes the file.
// All functions are reentrant; two writers of one file must be kept apart by their callers.

#include "repository/result.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QtGlobal>
#include <memory>

// The stored value of `key` in `section` of the file, or `defaultValue` when the file, the section
// or the key is missing (or the file cannot be read).
QString readProfileString(const QString &section, const QString &key, const QString &defaultValue,
                          const QString &filePath);

// Stores `value` under `key` in `section`; creates the file when missing (its folder must exist).
// Returns true when the value was stored. False when the folder is missing, the file is read-only
// or cannot be replaced, or a name cannot be written (a key with "=" or starting with "[" or ";",
// a section with "]", a name with a line break or NUL); the file is then unchanged.
[[nodiscard]] bool writeProfileString(const QString &section, const QString &key,
                                      const QString &value, const QString &filePath);

namespace exam {

class ProfileDocument;
class ProfileLock;

// How a profile file's bytes are stored; a write keeps the encoding of the file it changes.
enum class ProfileEncoding { Gb18030, Utf8, Utf8Bom, Utf16LeBom };

// How many times the library has opened a profile file for reading since the program started
// (for diagnostics and benchmarks; counts every load, read and store).
quint64 profileFileOpenCount();

// Parse once, answer many reads: the whole file is read at load(), lookups are hash lookups.
// A snapshot of a missing or unreadable file answers every read with its default.
// Values are what readProfileString() would return for the file as it was at load().
// A snapshot is a value: copies share the parsed file, which is never changed, so copies are cheap
// and may be read from several threads.
class ProfileSnapshot
{
public:
    ProfileSnapshot();
    ~ProfileSnapshot();
    ProfileSnapshot(const ProfileSnapshot &other);
    ProfileSnapshot &operator=(const ProfileSnapshot &other);
    ProfileSnapshot(ProfileSnapshot &&other) noexcept;
    ProfileSnapshot &operator=(ProfileSnapshot &&other) noexcept;

    static ProfileSnapshot load(const QString &filePath);
    static ProfileSnapshot fromBytes(const QByteArray &fileBytes);

    // True when the file existed and could be read at load().
    bool exists() const;
    ProfileEncoding encoding() const;

    QString value(const QString &section, const QString &key,
                  const QString &defaultValue = QString()) const;
    bool contains(const QString &section, const QString &key) const;
    bool containsSection(const QString &section) const;

private:
    struct Data;

public:
    // One section, looked up once for many keys: value(section, key) for each key of it.
    class Section
    {
    public:
        QString value(const QString &key, const QString &defaultValue = QString()) const;
        // leadingNumber(value(key)), without making the text when the value is a plain whole number
        // (a student's answers, read a hundred at a time).
        double leadingNumberOf(const QString &key) const;

    private:
        friend class ProfileSnapshot;
        std::shared_ptr<const Data> d;
        qsizetype m_number = -1; // -1: the file has no such section
    };
    Section section(const QString &name) const;

private:
    std::shared_ptr<const Data> d;
};

// Several writes, one store: store() reads the current file, applies the writes in the order they
// were set and replaces the file once, atomically. The bytes are the same as those of the same
// writes made one by one with writeProfileString().
class ProfileBatch
{
public:
    explicit ProfileBatch(QString filePath);

    void set(const QString &section, const QString &key, const QString &value);
    qsizetype size() const { return m_writes.size(); }
    bool isEmpty() const { return m_writes.isEmpty(); }
    const QString &filePath() const { return m_filePath; }

    // Succeeds when every write was stored. A write whose section or key cannot be written is
    // skipped (as writeProfileString() would refuse it) and makes the result a failure; the others
    // are still stored. When the store itself fails nothing changes. A failure carries a Chinese
    // text for the user. The writes are kept, so a failed store can be retried.
    Result store() const;

private:
    struct Write
    {
        QString section;
        QString key;
        QString value;
    };
    bool apply(ProfileDocument &document, QString *refusal) const;
    bool placePrepared(const QString &target, const QString &temporary,
                       const ProfileLock &lock) const;
    Result storeUnderLock(const QString &target, const ProfileLock &lock) const;

    QString m_filePath;
    QList<Write> m_writes;
};

} // namespace exam
