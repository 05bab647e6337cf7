#pragma once

// A program folder with a small catalogue of its own and a main window over it, for the tests of
// the drug picker, the body commands and the on-screen keyboard.

#include "MainWindowFixture.h"

namespace qelvaro::test {

struct CatalogueDrug {
    const char* code;
    const char* name;
    const char* category;
};

struct CatalogueSet {
    const char* name;
    const char* category;
    const char* code;
    const char* content;
};

// Names in GBK (pinyin) order: 5%…, 阿…, 大…, 独…, 桂…, 牛…, 清…, 生…, 注….
inline const QList<CatalogueDrug> kDrugs{
    {"tbqsn", "注射用头孢曲松钠  1g", "抗生素"},
    {"amxljn", "阿莫西林胶囊  0.25g*24\\0.5g tid", "抗生素"},
    {"5pttzsy", "5%葡萄糖注射液  250ml", "输液"},
    {"smzsy", "生脉注射液  10ml", "心血管"},
    {"qklkfy", "清开灵口服液  10ml*10\\10ml tid", "中成药"},
    {"dh", "独活 10g", "中药"},
    {"gz", "桂枝 10g", "中药"},
    {"nbz", "牛蒡子 10g", "中药"},
    {"dfycg", "大飞扬草 10g", "中药"},
};

inline const QList<CatalogueSet> kSets{
    {"胃炎组套", "个人组套", "wyzt", "奥美拉唑肠溶胶囊  20mg*14\r\n    用法：20mg bid"},
    {"银翘散", "中医验方", "yqs", "金银花 15g   连翘 15g     \r\n    用法：水煎服\r\n\r\n"},
    {"感冒组套", "个人组套", "gmzt", "复方氨酚烷胺胶囊  12粒\r\n    用法：1粒 bid"},
};

struct Editor : MainWindowFixture {
    explicit Editor(const QList<CatalogueDrug>& drugs = kDrugs, const QList<CatalogueSet>& sets = kSets)
    {
        if (opened)
            opened = replaceCatalogue(drugs, sets);
        buildWindow();
    }

    bool replaceCatalogue(const QList<CatalogueDrug>& drugs, const QList<CatalogueSet>& sets)
    {
        Database& db = *store.settings();
        Transaction transaction(db);
        if (!db.exec(R"(DELETE FROM "药品"; DELETE FROM "个人组套";)"))
            return false;
        Statement drug = db.prepare(R"(INSERT INTO "药品" ("拼音", "名称", "分类") VALUES (?, ?, ?))");
        for (const CatalogueDrug& d : drugs) {
            drug.reset();
            if (!drug.bindAll(d.code, d.name, d.category).run())
                return false;
        }
        Statement set = db.prepare(R"(INSERT INTO "个人组套" ("名称", "分类", "拼音", "内容") VALUES (?, ?, ?, ?))");
        for (const CatalogueSet& s : sets) {
            set.reset();
            if (!set.bindAll(s.name, s.category, s.code, s.content).run())
                return false;
        }
        return transaction.commit();
    }
};

}  // namespace qelvaro::test
