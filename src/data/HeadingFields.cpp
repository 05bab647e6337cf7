#include "HeadingFields.h"

#include <array>

namespace qelvaro {

const char* headingFieldColumn(int index)
{
    static constexpr std::array<const char*, kHeadingFieldCount> columns{
        "0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", "13", "14", "15", "16"};
    return index >= 0 && index < kHeadingFieldCount ? columns[index] : "";
}

QString headingFieldName(int index)
{
    static const std::array<const char16_t*, kHeadingFieldCount> names{
        u"姓名", u"性别", u"年龄", u"费别", u"医疗证(病历)号", u"科别", u"住址(电话)", u"电话",
        u"诊断", u"日期", u"医生", u"配药", u"复核", u"药费", u"其他", u"过敏史", u"既往史"};
    return index >= 0 && index < kHeadingFieldCount ? QString::fromUtf16(names[index]) : QString();
}

}  // namespace qelvaro
