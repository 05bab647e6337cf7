#pragma once

// A main window holding a prescription, and the infusion card window over it.

#include "../editor/MainWindowFixture.h"
#include "InfusionCardWindow.h"
#include "WindowHelpers.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <memory>

namespace qelvaro::test {

// One injection group of three lines (two drugs and the usage line) after a group by mouth.
inline const QString kInfusionBody = u"阿莫西林胶囊  0.25g*24\r\n    用法：0.5g tid\r\n"
                                     u"0.9%氯化钠注射液  100ml\r\n注射用头孢曲松钠  1g\r\n    用法：2g iv/gtt qd"_qs;
inline const QStringList kInfusionNames{u"0.9%氯化钠注射液  100ml"_qs, u"注射用头孢曲松钠  1g"_qs,
                                        u"    用法：2g iv/gtt qd"_qs};

struct InfusionCardFixture : MainWindowFixture {
    explicit InfusionCardFixture(PrintTarget* target = nullptr) : MainWindowFixture(target) {}

    void build()
    {
        buildWindow();
        show();
    }

    // The prescription in the main window (not saved).
    void fillPrescription(const QString& name = u"张三"_qs, const QString& body = kInfusionBody)
    {
        const std::initializer_list<std::pair<HeadingField, QString>> fields{
            {HeadingField::Name, name},          {HeadingField::Sex, u"男"_qs},
            {HeadingField::Age, u"35岁"_qs},     {HeadingField::Date, u"2024-03-05"_qs},
            {HeadingField::Diagnosis, u"上呼吸道感染"_qs}, {HeadingField::Doctor, u"林志远"_qs}};
        for (const auto& [field, text] : fields)
            window->headingBox(field)->setText(text);
        window->body()->setPlainText(body);
        window->hidePopups();
    }

    InfusionCardWindow& openCard()
    {
        if (!card)
            card = std::make_unique<InfusionCardWindow>(*window, context);
        card->open();
        if (!QTest::qWaitForWindowActive(card.get()))
            qWarning("the card window did not become active");
        return *card;
    }

    QString key() const { return window->recordKeyLabel()->text(); }

    std::unique_ptr<InfusionCardWindow> card;  // destroyed before the main window it reads
};

}  // namespace qelvaro::test
