-- Records database: prescriptions, the patient register and the login password.
-- Column rules (required, no empty text, width in characters) are constraints so the
-- database itself refuses a row that breaks them.

CREATE TABLE "档案" (
  "0" TEXT NOT NULL CHECK ("0" <> '' AND length("0") <= 50),
  "1" TEXT CHECK (length("1") <= 50),
  "2" TEXT CHECK (length("2") <= 50),
  "3" TEXT CHECK (length("3") <= 50),
  "4" TEXT CHECK (length("4") <= 50),
  "5" TEXT CHECK (length("5") <= 50),
  "6" TEXT CHECK (length("6") <= 50),
  "7" TEXT CHECK (length("7") <= 50),
  "8" TEXT CHECK (length("8") <= 50),
  "9" TEXT NOT NULL CHECK (date("9", '+0 days') IS "9"),
  "10" TEXT CHECK (length("10") <= 50),
  "11" TEXT CHECK (length("11") <= 50),
  "12" TEXT CHECK (length("12") <= 50),
  "13" TEXT CHECK (length("13") <= 50),
  "14" TEXT CHECK (length("14") <= 50),
  "15" TEXT CHECK (length("15") <= 50),
  "16" TEXT CHECK (length("16") <= 50),
  "17" TEXT CHECK (length("17") <= 50),
  "18" TEXT CHECK (length("18") <= 50),
  "19" TEXT CHECK (length("19") <= 50),
  "20" TEXT CHECK (length("20") <= 50),
  "21" TEXT CHECK (length("21") <= 50),
  "22" TEXT CHECK (length("22") <= 50),
  "23" TEXT CHECK (length("23") <= 50),
  "24" TEXT CHECK (length("24") <= 50),
  "25" TEXT CHECK (length("25") <= 50),
  "26" TEXT CHECK (length("26") <= 50),
  "27" TEXT CHECK (length("27") <= 50),
  "28" TEXT CHECK (length("28") <= 50),
  "29" TEXT CHECK (length("29") <= 50),
  "T1" TEXT,
  "T2" TEXT,
  "T3" TEXT,
  "T4" TEXT,
  "T5" TEXT,
  "T6" TEXT,
  "T7" TEXT,
  "T8" TEXT,
  "C1" TEXT CHECK (length("C1") <= 50),
  "C2" TEXT CHECK (length("C2") <= 50),
  "名称" TEXT NOT NULL CHECK ("名称" <> '' AND length("名称") <= 50),
  "T9" TEXT,
  "T10" TEXT,
  "T11" TEXT,
  "T12" TEXT
);
CREATE INDEX "名称" ON "档案" ("名称");
-- The record list filters by visit date and name and orders by key, and the workload statistics add
-- up the two fees of a date range: all from this one index, so neither reads the rows.
CREATE INDEX "日期姓名" ON "档案" ("9", "0", "名称", "13", "14");
-- A list for known names (found first in memory) reads just their rows of the date range.
CREATE INDEX "姓名日期" ON "档案" ("0", "9");

CREATE TABLE "患者信息" (
  "序号" TEXT NOT NULL CHECK ("序号" <> '' AND length("序号") <= 50),
  "出生年月" TEXT NOT NULL CHECK ("出生年月" <> '' AND length("出生年月") <= 50),
  "姓名" TEXT NOT NULL CHECK ("姓名" <> '' AND length("姓名") <= 50),
  "性别" TEXT NOT NULL CHECK ("性别" <> '' AND length("性别") <= 50),
  "费别" TEXT CHECK (length("费别") <= 50),
  "医疗证号" TEXT CHECK (length("医疗证号") <= 50),
  "诊断" TEXT CHECK (length("诊断") <= 50),
  "住址" TEXT CHECK (length("住址") <= 50),
  "过敏史" TEXT CHECK (length("过敏史") <= 50),
  "既往史" TEXT CHECK (length("既往史") <= 50),
  "电话" TEXT CHECK (length("电话") <= 50),
  "备用1" TEXT CHECK (length("备用1") <= 50),
  "备用2" TEXT CHECK (length("备用2") <= 50),
  "备用3" TEXT CHECK (length("备用3") <= 50)
);
CREATE INDEX "ID" ON "患者信息" ("序号");

CREATE TABLE "密码" (
  "密码" TEXT CHECK (length("密码") <= 50)
);
