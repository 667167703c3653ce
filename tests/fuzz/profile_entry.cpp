#include "fuzz_entries.h"

#include "repository/profile_file.h"
#include "repository/profile_format.h"

#include <QStringDecoder>
#include <QStringList>

namespace fuzzing {

namespace {

struct Name
{
    QString section;
    QString key;
};

// Section names and keys as the file spells them, decoded in the file's own encoding; at most a
// few dozen, so that a large input stays quick.
QList<Name> namesIn(const QByteArray &bytes, exam::ProfileEncoding encoding)
{
    const exam::ProfileText text = exam::ProfileText::fromFileBytes(bytes);
    QStringDecoder decoder(encoding == exam::ProfileEncoding::Gb18030 ? "GB18030" : "UTF-8");
    const QString decoded = decoder.decode(text.body);
    QList<Name> names;
    QString section;
    for (const QString &line : decoded.split(u'\n')) {
        if (names.size() >= 32)
            break;
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(u'[') && trimmed.contains(u']')) {
            section = trimmed.mid(1, trimmed.indexOf(u']') - 1);
            continue;
        }
        // Only names a program can ask for: names with NUL or line breaks are refused by every
        // writer, so no reader is ever asked for them.
        const qsizetype equals = line.indexOf(u'=');
        if (equals > 0 && exam::ProfileDocument::isWritableSection(section) &&
            exam::ProfileDocument::isWritableKey(line.left(equals)))
            names.append({section, line.left(equals)});
    }
    return names;
}

// A new file holding only that value.
exam::ProfileSnapshot freshFile(const Name &name, const QString &value)
{
    exam::ProfileDocument fresh = exam::ProfileDocument::parse(QByteArray());
    fresh.set(name.section, name.key, value);
    return exam::ProfileSnapshot::fromBytes(fresh.toBytes());
}

} // namespace

bool checkProfileBytes(const QByteArray &bytes)
{
    const exam::ProfileSnapshot snapshot = exam::ProfileSnapshot::fromBytes(bytes);
    const QList<Name> names = namesIn(bytes, snapshot.encoding());
    for (const Name &name : names) {
        const QString missing = QStringLiteral("\x01missing");
        if (exam::findProfileValue(bytes, name.section, name.key).value_or(missing) !=
            snapshot.value(name.section, name.key, missing))
            return false;
    }

    // An untouched document gives back the file byte for byte.
    const exam::ProfileDocument untouched = exam::ProfileDocument::parse(bytes);
    if (!untouched.isModified() && untouched.toBytes() != bytes &&
        snapshot.encoding() != exam::ProfileEncoding::Utf16LeBom)
        return false;

    // A write into the file, under a name the file holds (or a new one), with a value made of the
    // input's own text, line breaks and all.
    const Name target = names.isEmpty() ? Name{QStringLiteral("新节"), QStringLiteral("键")}
                                        : names.at(bytes.size() % names.size());
    QStringDecoder decoder("GB18030");
    const QString value = decoder.decode(bytes.right(300));
    exam::ProfileDocument document = exam::ProfileDocument::parse(bytes);
    if (!document.set(target.section, target.key, value))
        return true; // a name that cannot be written is refused, which is fine
    const exam::ProfileSnapshot written = exam::ProfileSnapshot::fromBytes(document.toBytes());
    const exam::ProfileSnapshot fresh = freshFile(target, value);
    // The encoding of a file without a byte order mark is a guess: GB18030 bytes that also form
    // valid UTF-8 read as UTF-8 when that reading is the more plausible text. Such files prove
    // nothing here.
    if (written.encoding() != document.encoding() ||
        fresh.encoding() != exam::ProfileEncoding::Gb18030)
        return true;
    return written.value(target.section, target.key) == fresh.value(target.section, target.key);
}

} // namespace fuzzing
