#pragma once

#include <QString>
#include <sys/types.h>

// Where the one Wispen of a user is found: the lock whose holder is that Wispen, and the socket
// on which it takes files from later launches.
struct InstancePlaces
{
    // In the user's state folder, next to the recovery journal that the holder keeps.
    QString lockPath;
    // In a folder that only the user may enter; empty when there is none, and then no launch
    // can hand files over.
    QString socketPath;

    // The current user's places: the socket in $XDG_RUNTIME_DIR or, when that is not set, in a
    // folder of the user's own under the temp folder.
    static InstancePlaces ofCurrentUser();
    // The lock in stateFolder; the socket in runtimeFolder if that is a folder of user that
    // nobody else may enter.
    static InstancePlaces in(const QString &stateFolder, const QString &runtimeFolder, uid_t user);
};
