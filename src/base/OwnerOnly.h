#pragma once

#include <QString>

namespace qelvaro {

// Patient data is for the doctor's eyes only: the folders that hold it are 0700, its files 0600,
// whatever the umask. Other users of the machine could otherwise read every prescription (the
// database keys are fixed, so the file mode is the only guard between users).

// Creates the folder (and the folders above it) and takes group and other access off the last
// one. False when it cannot be made.
bool makeOwnerOnlyDir(const QString& path);

// Takes group and other access off an existing file or folder; the owner's own bits stay as they
// are (a file the doctor made read-only stays read-only). True when nobody else has access
// afterwards, also when nothing had to change.
bool restrictToOwner(const QString& path);

// Creates a new, empty file readable by its owner only; fails when the file already exists.
bool createOwnerOnlyFile(const QString& path);

}  // namespace qelvaro
