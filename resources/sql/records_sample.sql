-- Records database: the neutral sample rows that a first start finds.
-- One prescription with its history record and a filled infusion card, the matching patient,
-- and the initial login password. The body's two infusion groups are what the card holds.

INSERT INTO "档案"(
  "0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", "13", "14", "15", "16",
  "T1", "T2", "T3", "T4", "T5", "T6", "T7", "T8", "C1", "C2", "名称"
) VALUES (
  '李春华', '男', '45岁', '农保', '20261120093015', '内科', '东岭村一组', '13500000000',
  '急性支气管炎 上呼吸道感染', '2026-11-20', '林志远', '周晓梅', '陈建华', '86.50', '15.00',
  '无', '慢性胃炎',
  -- T1: the body as the drug picker and the 静脉滴注 inserter write it.
  '0.9%氯化钠注射液  100ml' || char(13, 10) ||
  '注射用头孢曲松钠  1g' || char(13, 10) ||
  '    用法：2g iv/gtt qd' || char(13, 10) || char(13, 10) ||
  '5%葡萄糖注射液  250ml' || char(13, 10) ||
  '盐酸氨溴索注射液  15mg' || char(13, 10) ||
  '    用法：iv/gtt qd' || char(13, 10) || char(13, 10) ||
  '复方甘草片  100片' || char(13, 10) ||
  '    用法：3片 tid' || char(13, 10) || char(13, 10) ||
  '桉柠蒎肠溶软胶囊  0.3g*12' || char(13, 10) ||
  '    用法：0.3g tid' || char(13, 10) || char(13, 10),
  -- T2: the injection groups of T1 (the two oral groups name no route).
  '0.9%氯化钠注射液  100ml' || char(13, 10) ||
  '注射用头孢曲松钠  1g' || char(13, 10) ||
  '    用法：2g iv/gtt qd' || char(13, 10) ||
  '5%葡萄糖注射液  250ml' || char(13, 10) ||
  '盐酸氨溴索注射液  15mg' || char(13, 10) ||
  '    用法：iv/gtt qd' || char(13, 10),
  -- T3: the history record.
  '主诉：咳嗽、咳痰3天，发热1天。' || char(13, 10) ||
  '现病史：患者3天前受凉后出现咳嗽，咳白色黏痰，量少，昨日起发热，体温最高38.2℃，伴鼻塞、咽痛，无胸痛、咯血，无呼吸困难，自服感冒药效果不佳。' || char(13, 10) ||
  '既往史：慢性胃炎病史5年，否认高血压、糖尿病史，否认药物过敏史。' || char(13, 10) ||
  '体格检查：T 37.8℃，P 90次/分，R 20次/分，BP 128/82mmHg。神志清，咽部充血，扁桃体无肿大，双肺呼吸音粗，可闻及散在干啰音，未闻及湿啰音，心率90次/分，律齐。' || char(13, 10) ||
  '辅助检查：血常规：WBC 10.6×10^9/L，N 78%；胸片：双肺纹理增粗。' || char(13, 10) ||
  '初步诊断：急性支气管炎，上呼吸道感染' || char(13, 10) ||
  '处理意见：抗感染、止咳化痰治疗，多饮水，注意休息，3天后复诊。',
  -- T4..T8: the infusion card, every value followed by "@" (7 header values, 14 cells a column).
  '李春华@男@45岁@2026-11-20@急性支气管炎 上呼吸道感染@林志远@郑小燕@',
  '0.9%氯化钠注射液  100ml@注射用头孢曲松钠  1g@    用法：2g iv/gtt qd@' ||
  '5%葡萄糖注射液  250ml@盐酸氨溴索注射液  15mg@    用法：iv/gtt qd@@@@@@@@@',
  '50滴/分@@@50滴/分@@@@@@@@@@@',
  '09:45@@@10:40@@@@@@@@@@@',
  '郑小燕@@@郑小燕@@@@@@@@@@@',
  '普通处方笺', '普通', '2026-11-20 09:30:15'
);

-- Birth year: the visit year less the age.
INSERT INTO "患者信息"(
  "序号", "出生年月", "姓名", "性别", "费别", "医疗证号", "诊断", "住址", "过敏史", "既往史", "电话"
) VALUES (
  '李春华' || pinyin_code('李春华') || '1981', '1981', '李春华', '男', '农保', '20261120093015',
  '急性支气管炎 上呼吸道感染', '东岭村一组', '无', '慢性胃炎', '13500000000'
);

INSERT INTO "密码"("密码") VALUES ('586');
