#pragma once

// A program folder with a main window over it for the tests of the record commands and the
// heading fields: known staff defaults, and helpers that write rows the way an earlier run did.

#include "MainWindowFixture.h"
#include "Prescription.h"

#include <QLineEdit>
#include <QListView>
#include <QListWidget>

#include <functional>

namespace qelvaro::test {

struct RecordEditor : MainWindowFixture {
    // before runs on the fresh databases before the window is built (and lists them).
    explicit RecordEditor(const std::function<void(RecordEditor&)>& before = {})
    {
        if (opened) {
            opened = store.settings()
                         ->prepare(R"(UPDATE "设置" SET "医生" = '林医生', "配药" = '周药师', "复核" = '陈药师',
                                      "科别" = '内科', "费别" = '自费')")
                         .run();
        }
        if (opened && before)
            before(*this);
        buildWindow();
    }

    QLineEdit* field(int index) const { return window->headingBox(HeadingField(index)); }

    QStringList listed() const
    {
        QStringList texts;
        const QAbstractItemModel* model = window->recordList()->model();
        for (int i = 0; i < model->rowCount(); ++i)
            texts << model->index(i, 0).data().toString();
        return texts;
    }

    // A stored prescription with only what the schema requires, and the sex and age.
    qint64 insertRecord(const QString& key, const QString& name, const QString& date)
    {
        Statement st = store.records()->prepare(
            R"(INSERT INTO "档案" ("0", "1", "2", "9", "名称") VALUES (?, '男', '25岁', ?, ?))");
        st.bindAll(name, date, key);
        return st.run() ? store.records()->lastInsertRowId() : -1;
    }

    qint64 insertPatient(const QString& name, const QString& birthYear, const QString& card = QString())
    {
        Statement st = store.records()->prepare(
            R"(INSERT INTO "患者信息" ("序号", "出生年月", "姓名", "性别", "费别", "医疗证号", "诊断",
               "住址", "过敏史", "既往史", "电话") VALUES (?, ?, ?, '女', '医保', ?, '咳嗽', '东岭村', '青霉素', '哮喘', '138'))");
        st.bindAll(patientKey(name, birthYear), birthYear, name, card);
        return st.run() ? store.records()->lastInsertRowId() : -1;
    }

    // Replaces the rows of 诊断 or 地址 by these names and pinyin codes.
    bool replaceNames(const char* table, const QList<std::pair<QString, QString>>& namesAndPinyin)
    {
        Database& db = *store.settings();
        const QString t = QString::fromUtf8(table);
        if (!db.exec(QStringLiteral("DELETE FROM \"%1\"").arg(t).toStdString()))
            return false;
        Statement st = db.prepare(
            QStringLiteral("INSERT INTO \"%1\" (\"名称\", \"拼音\", \"序号\") VALUES (?, ?, ?)").arg(t).toStdString());
        for (const auto& [name, pinyin] : namesAndPinyin) {
            st.reset();
            if (!st.bindAll(name, pinyin, name + pinyin).run())
                return false;
        }
        return true;
    }
};

}  // namespace qelvaro::test
