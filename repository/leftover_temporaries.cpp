#include "repository/leftover_temporaries.h"

#include "repository/file_ops.h"
#include "repository/profile_lock.h"

#include <QFile>
#include <QFileInfo>

#include <string_view>

#include <dirent.h>
#include <sys/stat.h>

namespace exam {
namespace {

constexpr qsizetype SuffixLength = 6;

bool isSuffixCharacter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z');
}

// The file a temporary belongs to, or an empty text when `name` is no temporary.
QString baseOfTemporary(const QString &name)
{
    if (name.size() <= SuffixLength + 1 || name.at(name.size() - SuffixLength - 1) != u'.')
        return QString();
    for (qsizetype i = name.size() - SuffixLength; i < name.size(); ++i) {
        if (!isSuffixCharacter(name.at(i)))
            return QString();
    }
    return name.left(name.size() - SuffixLength - 1);
}

// The names in a folder that are not folders (hidden ones too), from one reading of the folder:
// QDir would ask for every entry's details, which costs more than the rest of a results refresh.
QStringList folderFiles(const QString &folder)
{
    QStringList names;
    DIR *dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return names;
    while (const dirent *entry = ::readdir(dir)) {
        const std::string_view name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        bool isFolder = entry->d_type == DT_DIR;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat status = {};
            isFolder =
                ::fstatat(::dirfd(dir), entry->d_name, &status, 0) == 0 && S_ISDIR(status.st_mode);
        }
        if (!isFolder)
            names << QFile::decodeName(entry->d_name);
    }
    ::closedir(dir);
    return names;
}

} // namespace

bool isTemporaryOf(const QString &name, const QString &fileName)
{
    return !fileName.isEmpty() && baseOfTemporary(name) == fileName;
}

bool isLeftoverTemporary(const QString &name)
{
    const QString base = baseOfTemporary(name);
    return base.endsWith(QLatin1String(".cho"), Qt::CaseInsensitive) ||
           base.endsWith(QLatin1String(".rtf"), Qt::CaseInsensitive);
}

void removeTemporariesOf(const QString &filePath)
{
    const QFileInfo info(filePath);
    const QString folder = info.absolutePath();
    for (const QString &name : folderFiles(folder)) {
        if (isTemporaryOf(name, info.fileName()))
            fileOps().remove(folder + u'/' + name);
    }
}

QStringList listProfileFolder(const QString &folder)
{
    QStringList names = folderFiles(folder);
    names.removeIf([&](const QString &name) {
        if (!isLeftoverTemporary(name))
            return false;
        // A free lock means no store of the file is writing this temporary.
        const ProfileLock lock = ProfileLock::acquire(folder + u'/' + baseOfTemporary(name),
                                                      std::chrono::milliseconds(0));
        if (lock.state() == ProfileLock::State::Held)
            fileOps().remove(folder + u'/' + name);
        return true;
    });
    return names;
}

void removeLeftoverTemporaries(const QString &folder)
{
    listProfileFolder(folder);
}

} // namespace exam
