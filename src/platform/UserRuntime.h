#pragma once

#include <QString>

#include <optional>

// Where this user's sockets and lock files go, and who is at the other end of a local socket.
// A socket in a directory other users may write to can be taken over by any of them: they
// create it first and answer in our place.
namespace UserRuntime {

// A directory only this user may enter: $XDG_RUNTIME_DIR when it is ours and closed to others,
// else one of our own under the user's cache directory ($XDG_CACHE_HOME or ~/.cache), made and
// kept at mode 0700. Never a directory shared with other users. Empty when neither can be had.
QString privateDirectory();

// The fallback used when $XDG_RUNTIME_DIR is unset or not private.
QString fallbackDirectory();

// True when path is a directory (not a link) owned by this user that no one else may enter.
bool isPrivateDirectory(const QString &path);

// This process's user id, and the user id of the process at the other end of a connected local
// socket (nullopt when it cannot be told).
unsigned userId();
std::optional<unsigned> peerUserId(qintptr socketDescriptor);

} // namespace UserRuntime
