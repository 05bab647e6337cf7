#pragma once

#include "PrintTarget.h"

#include <QStringList>

namespace qelvaro::test {

// A save dialog that answers what the test set and notes every question.
class ScriptedFileDialog : public FileDialog {
public:
    QString saveFileName(const QString& caption, const QString& suggestedPath, const QString& filter) override
    {
        ++asked;
        suggested = suggestedPath;
        questions << caption + u'|' + suggestedPath + u'|' + filter;
        return answer;
    }
    QString answer;  // empty: the doctor cancelled
    int asked = 0;
    QString suggested;  // the path the last question suggested
    QStringList questions;  // caption|suggested path|filter of each question
};

}  // namespace qelvaro::test
