-- Settings database: the catalogues and the one settings row.

CREATE TABLE "药品" (
  "拼音" TEXT CHECK ("拼音" <> '' AND length("拼音") <= 50),
  "名称" TEXT CHECK ("名称" <> '' AND length("名称") <= 200),
  "分类" TEXT CHECK (length("分类") <= 50)
);
CREATE TABLE "个人组套" (
  "名称" TEXT NOT NULL CHECK ("名称" <> '' AND length("名称") <= 50),
  "分类" TEXT NOT NULL CHECK ("分类" <> '' AND length("分类") <= 50),
  "拼音" TEXT NOT NULL CHECK ("拼音" <> '' AND length("拼音") <= 50),
  "内容" TEXT CHECK ("内容" <> '')
);
CREATE TABLE "病史模板" (
  "名称" TEXT NOT NULL CHECK ("名称" <> '' AND length("名称") <= 200),
  "内容" TEXT,
  "序号" TEXT NOT NULL CHECK ("序号" <> '' AND length("序号") <= 50),
  "拼音" TEXT CHECK (length("拼音") <= 50)
);
CREATE TABLE "诊断" (
  "名称" TEXT CHECK ("名称" <> '' AND length("名称") <= 50),
  "拼音" TEXT CHECK ("拼音" <> '' AND length("拼音") <= 50),
  "序号" TEXT NOT NULL CHECK ("序号" <> '' AND length("序号") <= 50)
);
-- SQLite keeps index names per database, so each table's "序号" index carries its table name.
CREATE INDEX "诊断序号" ON "诊断" ("序号");
CREATE TABLE "地址" (
  "名称" TEXT CHECK ("名称" <> '' AND length("名称") <= 50),
  "拼音" TEXT CHECK ("拼音" <> '' AND length("拼音") <= 50),
  "序号" TEXT NOT NULL CHECK ("序号" <> '' AND length("序号") <= 50)
);
-- SQLite keeps index names per database, so each table's "序号" index carries its table name.
CREATE INDEX "地址序号" ON "地址" ("序号");
CREATE TABLE "设置" (
  "医生" TEXT CHECK (length("医生") <= 10),
  "上边距" TEXT CHECK ("上边距" <> '' AND length("上边距") <= 50),
  "左边距" TEXT CHECK ("左边距" <> '' AND length("左边距") <= 50),
  "上边距1" TEXT CHECK ("上边距1" <> '' AND length("上边距1") <= 50),
  "左边距1" TEXT CHECK ("左边距1" <> '' AND length("左边距1") <= 50),
  "配药" TEXT CHECK (length("配药") <= 10),
  "名称" TEXT CHECK (length("名称") <= 50),
  "索引" TEXT CHECK (length("索引") <= 10),
  "复核" TEXT CHECK (length("复核") <= 10),
  "姓名1" TEXT CHECK ("姓名1" <> '' AND length("姓名1") <= 50),
  "姓名2" TEXT CHECK ("姓名2" <> '' AND length("姓名2") <= 50),
  "姓名3" TEXT CHECK ("姓名3" <> '' AND length("姓名3") <= 50),
  "性别1" TEXT CHECK ("性别1" <> '' AND length("性别1") <= 50),
  "性别2" TEXT CHECK ("性别2" <> '' AND length("性别2") <= 50),
  "性别3" TEXT CHECK ("性别3" <> '' AND length("性别3") <= 50),
  "年龄1" TEXT CHECK ("年龄1" <> '' AND length("年龄1") <= 50),
  "年龄2" TEXT CHECK ("年龄2" <> '' AND length("年龄2") <= 50),
  "年龄3" TEXT CHECK ("年龄3" <> '' AND length("年龄3") <= 50),
  "费别1" TEXT CHECK ("费别1" <> '' AND length("费别1") <= 50),
  "费别2" TEXT CHECK ("费别2" <> '' AND length("费别2") <= 50),
  "费别3" TEXT CHECK ("费别3" <> '' AND length("费别3") <= 50),
  "医疗证号1" TEXT CHECK ("医疗证号1" <> '' AND length("医疗证号1") <= 50),
  "医疗证号2" TEXT CHECK ("医疗证号2" <> '' AND length("医疗证号2") <= 50),
  "医疗证号3" TEXT CHECK ("医疗证号3" <> '' AND length("医疗证号3") <= 50),
  "住址|电话1" TEXT CHECK ("住址|电话1" <> '' AND length("住址|电话1") <= 50),
  "住址|电话2" TEXT CHECK ("住址|电话2" <> '' AND length("住址|电话2") <= 50),
  "住址|电话3" TEXT CHECK ("住址|电话3" <> '' AND length("住址|电话3") <= 50),
  "临床诊断1" TEXT CHECK ("临床诊断1" <> '' AND length("临床诊断1") <= 50),
  "临床诊断2" TEXT CHECK ("临床诊断2" <> '' AND length("临床诊断2") <= 50),
  "临床诊断3" TEXT CHECK ("临床诊断3" <> '' AND length("临床诊断3") <= 50),
  "日期(年)1" TEXT CHECK ("日期(年)1" <> '' AND length("日期(年)1") <= 50),
  "日期(年)2" TEXT CHECK ("日期(年)2" <> '' AND length("日期(年)2") <= 50),
  "日期(年)3" TEXT CHECK ("日期(年)3" <> '' AND length("日期(年)3") <= 50),
  "医生1" TEXT CHECK ("医生1" <> '' AND length("医生1") <= 50),
  "医生2" TEXT CHECK ("医生2" <> '' AND length("医生2") <= 50),
  "医生3" TEXT CHECK ("医生3" <> '' AND length("医生3") <= 50),
  "配药1" TEXT CHECK ("配药1" <> '' AND length("配药1") <= 50),
  "配药2" TEXT CHECK ("配药2" <> '' AND length("配药2") <= 50),
  "配药3" TEXT CHECK ("配药3" <> '' AND length("配药3") <= 50),
  "复核1" TEXT CHECK ("复核1" <> '' AND length("复核1") <= 50),
  "复核2" TEXT CHECK ("复核2" <> '' AND length("复核2") <= 50),
  "复核3" TEXT CHECK ("复核3" <> '' AND length("复核3") <= 50),
  "药费1" TEXT CHECK ("药费1" <> '' AND length("药费1") <= 50),
  "药费2" TEXT CHECK ("药费2" <> '' AND length("药费2") <= 50),
  "药费3" TEXT CHECK ("药费3" <> '' AND length("药费3") <= 50),
  "其他收费1" TEXT CHECK ("其他收费1" <> '' AND length("其他收费1") <= 50),
  "其他收费2" TEXT CHECK ("其他收费2" <> '' AND length("其他收费2") <= 50),
  "其他收费3" TEXT CHECK ("其他收费3" <> '' AND length("其他收费3") <= 50),
  "处方正文1" TEXT CHECK ("处方正文1" <> '' AND length("处方正文1") <= 50),
  "处方正文2" TEXT CHECK ("处方正文2" <> '' AND length("处方正文2") <= 50),
  "处方正文3" TEXT CHECK ("处方正文3" <> '' AND length("处方正文3") <= 50),
  "字体" TEXT CHECK ("字体" <> '' AND length("字体") <= 50),
  "大小" TEXT CHECK ("大小" <> '' AND length("大小") <= 50),
  "男(划掉女)1" TEXT CHECK ("男(划掉女)1" <> '' AND length("男(划掉女)1") <= 50),
  "男(划掉女)2" TEXT CHECK ("男(划掉女)2" <> '' AND length("男(划掉女)2") <= 50),
  "男(划掉女)3" TEXT CHECK ("男(划掉女)3" <> '' AND length("男(划掉女)3") <= 50),
  "女(划掉男)1" TEXT CHECK ("女(划掉男)1" <> '' AND length("女(划掉男)1") <= 50),
  "女(划掉男)2" TEXT CHECK ("女(划掉男)2" <> '' AND length("女(划掉男)2") <= 50),
  "女(划掉男)3" TEXT CHECK ("女(划掉男)3" <> '' AND length("女(划掉男)3") <= 50),
  "科别1" TEXT CHECK ("科别1" <> '' AND length("科别1") <= 50),
  "科别2" TEXT CHECK ("科别2" <> '' AND length("科别2") <= 50),
  "科别3" TEXT CHECK ("科别3" <> '' AND length("科别3") <= 50),
  "日期(月)1" TEXT CHECK ("日期(月)1" <> '' AND length("日期(月)1") <= 50),
  "日期(月)2" TEXT CHECK ("日期(月)2" <> '' AND length("日期(月)2") <= 50),
  "日期(月)3" TEXT CHECK ("日期(月)3" <> '' AND length("日期(月)3") <= 50),
  "日期(日)1" TEXT CHECK ("日期(日)1" <> '' AND length("日期(日)1") <= 50),
  "日期(日)2" TEXT CHECK ("日期(日)2" <> '' AND length("日期(日)2") <= 50),
  "日期(日)3" TEXT CHECK ("日期(日)3" <> '' AND length("日期(日)3") <= 50),
  "科别" TEXT CHECK (length("科别") <= 50),
  "费别" TEXT CHECK ("费别" <> '' AND length("费别") <= 50),
  "上边距3" TEXT CHECK (length("上边距3") <= 50),
  "左边距3" TEXT CHECK (length("左边距3") <= 50),
  "竖打3" TEXT CHECK (length("竖打3") <= 50),
  "竖打" TEXT CHECK (length("竖打") <= 50),
  "竖打2" TEXT CHECK (length("竖打2") <= 50),
  "竖打4" TEXT CHECK (length("竖打4") <= 50),
  "竖打5" TEXT CHECK (length("竖打5") <= 50),
  "上边距4" TEXT CHECK (length("上边距4") <= 50),
  "上边距5" TEXT CHECK (length("上边距5") <= 50),
  "左边距4" TEXT CHECK (length("左边距4") <= 50),
  "左边距5" TEXT CHECK (length("左边距5") <= 50),
  "上边距6" TEXT CHECK (length("上边距6") <= 50),
  "左边距6" TEXT CHECK (length("左边距6") <= 50),
  "竖打6" TEXT CHECK (length("竖打6") <= 50),
  "日期1" TEXT CHECK ("日期1" <> '' AND length("日期1") <= 50),
  "日期2" TEXT CHECK ("日期2" <> '' AND length("日期2") <= 50),
  "日期3" TEXT CHECK ("日期3" <> '' AND length("日期3") <= 50),
  "过敏史1" TEXT CHECK ("过敏史1" <> '' AND length("过敏史1") <= 50),
  "过敏史2" TEXT CHECK ("过敏史2" <> '' AND length("过敏史2") <= 50),
  "过敏史3" TEXT CHECK ("过敏史3" <> '' AND length("过敏史3") <= 50),
  "既往史1" TEXT CHECK ("既往史1" <> '' AND length("既往史1") <= 50),
  "既往史2" TEXT CHECK ("既往史2" <> '' AND length("既往史2") <= 50),
  "既往史3" TEXT CHECK ("既往史3" <> '' AND length("既往史3") <= 50),
  "电话1" TEXT CHECK ("电话1" <> '' AND length("电话1") <= 50),
  "电话2" TEXT CHECK ("电话2" <> '' AND length("电话2") <= 50),
  "电话3" TEXT CHECK ("电话3" <> '' AND length("电话3") <= 50)
);

-- The drug search lists the first 200 matches in name order: this index is read in that order
-- and carries the code and category, so the search stops at the 200th match instead of sorting
-- the whole catalogue. The GBK collation is registered on every connection the program opens.
CREATE INDEX "药品名称" ON "药品" ("名称" COLLATE GBK, "拼音", "分类");
