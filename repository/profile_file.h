#pragma once

// Profile files: INI-style text files (".cho") in which every record of the repository lives.
//
// Rules every reader and writer here keeps:
// - Section names and keys match ignoring letter case and blanks (spaces, tabs) at both ends.
//   The first section of a name and the first key of a name within it are the ones that count.
// - A value read is cut at its first NUL, trimmed of blanks, cut to 255 bytes (counted in the
//   repository's GB18030 encoding, never inside a character) and trimmed again.
// - Files are GB18030. A file that starts with a UTF-8 or UTF-16LE byte order mark, or whose bytes
//   are all valid UTF-8 with some multi-byte Chinese text, is read and written back in that form.
// - A write changes one line (or adds a key at the end of its section, or a section at the end of
//   the file); every other byte stays. New files get CRLF line ends, existing ones keep theirs.
//   CR, LF and NUL in a value are written as blanks, so no value can add a key or a section.
// - Every store is atomic: a temporary file in the same folder, flushed, renamed over the old one,
//   with the old file's permission bits. A failed store leaves the old file whole.
//
// - When the file is missing, a file in the same folder whose name differs only in letter case is
//   the one read and written. A file larger than 64 MB is not a profile: reads give their
//   defaults and writes fail.
// - A store whose values are all stored already leaves the file untouched.
//
// Nothing here is cached between calls; every call opens, reads (and stores) and closes the file.
// All functions are reentrant; two writers of one file must be kept apart by their callers.

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
// or cannot be replaced, or the section or key is empty or cannot be written as a name (a key with
// "=", a section with "]", a name with a line break); the file is then unchanged.
bool writeProfileString(const QString &section, const QString &key, const QString &value,
                        const QString &filePath);

namespace exam {

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

    // Returns true when every write was stored. A write whose section or key cannot be written is
    // skipped (as writeProfileString() would refuse it) and makes the result false; the others are
    // still stored. When the store itself fails nothing changes. `error` (optional) receives a
    // Chinese text for the user. The writes are kept, so a failed store can be retried.
    bool store(QString *error = nullptr) const;

private:
    struct Write
    {
        QString section;
        QString key;
        QString value;
    };
    QString m_filePath;
    QList<Write> m_writes;
};

} // namespace exam
