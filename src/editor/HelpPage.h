#pragma once

#include <QString>

namespace qelvaro {

// The help page the program carries, written out as a local file for the browser. Returns the
// file's path, or the empty text when it could not be written.
QString writeHelpPage();

}  // namespace qelvaro
