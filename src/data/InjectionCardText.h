#pragma once

#include <QString>

namespace qelvaro {

// The injection card's text from a prescription body: every drug group whose usage line names an
// injection route, in body order, each line ended by CR LF; blank lines dropped.
//
// A usage line is any line holding "sig" (ASCII case ignored) or "用法"; it closes the group of
// non-blank lines read since the previous usage line. The group goes on the card when the usage
// line holds one of the route keywords (ASCII case ignored). Lines after the last usage line form
// no group yet and stay off the card. Any line break (CR LF, LF, CR, U+2029) separates lines.
QString injectionCardText(const QString& body);

}  // namespace qelvaro
