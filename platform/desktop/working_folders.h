#pragma once

#include <QString>

namespace exam::platform {

// The two fixed local folders, one per role, in the user's cache folder (never the shared /tmp):
// the editor's copy of a paper's question files, and the client's local copy of a paper when it
// runs from a network share.
QString editorWorkingFolder();
QString clientCopyFolder();

// Whether a path lies on a network file system (NFS, SMB/CIFS, 9P, AFS, FUSE mounts). A path that
// cannot be examined counts as local.
bool isOnNetworkFileSystem(const QString &path);

} // namespace exam::platform
