#include "SettingsWindow.h"

#include "AppContext.h"
#include "DataStore.h"
#include "LoginPassword.h"
#include "MessageSink.h"
#include "TextRules.h"
#include "WindowHelpers.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace qelvaro {
namespace {

using Values = SettingsCopy::Values;

constexpr int kPasswordLength = 15;
// 9135 x 8220 twips at 15 twips a pixel.
constexpr int kClientWidth = 609;
constexpr int kClientHeight = 548;
constexpr int kOffsetBoxWidth = 44;
constexpr int kPrintBoxWidth = 80;
// The 23 item lines stand 300 twips apart.
constexpr int kOverlayLineHeight = 20;

// Item indexes in the order of their lines in the frame, top to bottom.
constexpr std::array<int, SettingsCopy::kOverlayItemCount> kOverlayRowOrder{
    0, 1, 16, 15, 2, 3, 4, 14, 5, 6, 19, 7, 17, 18, 20, 21, 22, 8, 9, 10, 11, 12, 13};

QLabel* caption(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QStringLiteral("caption_") + text);
    return label;
}

}  // namespace

SettingsWindow::SettingsWindow(AppContext& context, QWidget* parent)
    : QWidget(parent, Qt::Window), m_context(context), m_settings(context.settings)
{
    setObjectName(QStringLiteral("settingsWindow"));
    setWindowTitle(QStringLiteral("基本设置"));

    auto* hint = new QLabel(QStringLiteral("提示：处方套打是指在已事先印刷的处方上进行打印，首先把需要打印的项目打钩，然后仔细设置每个项目的左边距及上边距，单位是毫米，使每个项目能在原有格式的印刷处方上进行对齐。"),
                            this);
    hint->setObjectName(QStringLiteral("overlayHint"));
    hint->setWordWrap(true);
    hint->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto* left = new QVBoxLayout;
    left->addWidget(buildGeneralFrame());
    left->addWidget(buildPasswordFrame());
    left->addWidget(buildPrintFrame());
    left->addWidget(hint, 1);

    auto* saveButton = new QPushButton(QStringLiteral("保  存"), this);
    saveButton->setObjectName(QStringLiteral("saveButton"));
    auto* cancelButton = new QPushButton(QStringLiteral("取  消"), this);
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    connect(saveButton, &QPushButton::clicked, this, &SettingsWindow::save);
    connect(cancelButton, &QPushButton::clicked, this, &QWidget::close);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(saveButton);
    buttons->addWidget(cancelButton);

    auto* right = new QVBoxLayout;
    right->addWidget(buildOverlayFrame(), 1);
    right->addLayout(buttons);

    auto* columns = new QHBoxLayout(this);
    columns->setContentsMargins(8, 8, 8, 8);
    columns->addLayout(left, 1);
    columns->addLayout(right);

    resize(QSize(kClientWidth, kClientHeight).expandedTo(minimumSizeHint()));

    connect(&m_settings, &SettingsCopy::unloaded, this, &SettingsWindow::onCopyUnloaded);
}

QLineEdit* SettingsWindow::textBox(const char* objectName, QString Values::*field)
{
    auto* box = new QLineEdit(this);
    box->setObjectName(QString::fromUtf8(objectName));
    m_texts.append({box, field});
    connect(box, &QLineEdit::textChanged, this, [this, field](const QString& text) {
        if (!m_filling)
            m_settings.edit().*field = text;
    });
    return box;
}

QComboBox* SettingsWindow::comboBox(const char* objectName, const QStringList& items, QString Values::*field)
{
    auto* box = new QComboBox(this);
    box->setObjectName(QString::fromUtf8(objectName));
    box->setEditable(true);
    box->addItems(items);
    // The typed text stays as typed: no completion from the list, nothing added to it.
    box->setCompleter(nullptr);
    box->setInsertPolicy(QComboBox::NoInsert);
    m_combos.append({box, field});
    connect(box, &QComboBox::currentTextChanged, this, [this, field](const QString& text) {
        if (!m_filling)
            m_settings.edit().*field = text;
    });
    return box;
}

QWidget* SettingsWindow::buildGeneralFrame()
{
    auto* frame = new QGroupBox(QStringLiteral("基本设置"), this);
    frame->setObjectName(QStringLiteral("generalFrame"));
    auto* grid = new QGridLayout(frame);
    grid->addWidget(caption(QStringLiteral("医疗机构名称"), frame), 0, 0);
    grid->addWidget(textBox("clinicNameEdit", &Values::clinicName), 0, 1, 1, 5);
    grid->addWidget(caption(QStringLiteral("医生"), frame), 1, 0);
    grid->addWidget(textBox("doctorEdit", &Values::doctor), 1, 1);
    grid->addWidget(caption(QStringLiteral("配药"), frame), 1, 2);
    grid->addWidget(textBox("dispenserEdit", &Values::dispenser), 1, 3);
    grid->addWidget(caption(QStringLiteral("复核"), frame), 1, 4);
    grid->addWidget(textBox("reviewerEdit", &Values::reviewer), 1, 5);
    grid->addWidget(caption(QStringLiteral("默认费别"), frame), 2, 0);
    grid->addWidget(textBox("feeClassEdit", &Values::feeClass), 2, 1);
    grid->addWidget(caption(QStringLiteral("默认科别"), frame), 2, 2, 1, 2, Qt::AlignRight);
    grid->addWidget(textBox("departmentEdit", &Values::department), 2, 4, 1, 2);
    return frame;
}

QWidget* SettingsWindow::buildPasswordFrame()
{
    auto* frame = new QGroupBox(QStringLiteral("修改登录密码"), this);
    frame->setObjectName(QStringLiteral("passwordFrame"));
    m_oldPassword = new QLineEdit(frame);
    m_oldPassword->setObjectName(QStringLiteral("oldPasswordEdit"));
    m_oldPassword->setMaxLength(kPasswordLength);
    pasteAsOneLine(m_oldPassword);
    m_newPassword = new QLineEdit(frame);
    m_newPassword->setObjectName(QStringLiteral("newPasswordEdit"));
    m_newPassword->setMaxLength(kPasswordLength);
    // A line break pasted into a password could never be typed at the login.
    pasteAsOneLine(m_newPassword);
    auto* change = new QPushButton(QStringLiteral("修改密码"), frame);
    change->setObjectName(QStringLiteral("changePasswordButton"));
    connect(change, &QPushButton::clicked, this, &SettingsWindow::changePassword);

    auto* row = new QHBoxLayout(frame);
    row->addWidget(caption(QStringLiteral("原密码"), frame));
    row->addWidget(m_oldPassword, 1);
    row->addWidget(caption(QStringLiteral("新密码"), frame));
    row->addWidget(m_newPassword, 1);
    row->addWidget(change);
    return frame;
}

namespace {

// The print boxes share one width; a font box is widened to show its longest name ("楷体_GB2312")
// whole, in the box and in its drop list.
int fittingWidth(QWidget* box)
{
    auto* combo = qobject_cast<QComboBox*>(box);
    if (!combo)
        return kPrintBoxWidth;
    const QComboBox::SizeAdjustPolicy policy = combo->sizeAdjustPolicy();
    combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    const int width = combo->sizeHint().width();
    combo->setSizeAdjustPolicy(policy);
    return std::max(kPrintBoxWidth, width);
}

}  // namespace

QWidget* SettingsWindow::buildPrintFrame()
{
    auto* frame = new QGroupBox(QStringLiteral("打印设置(单位：毫米)"), this);
    frame->setObjectName(QStringLiteral("printFrame"));
    auto* grid = new QGridLayout(frame);
    auto pair = [&](int line, const QString& leftCaption, QWidget* leftBox, const QString& rightCaption,
                    QWidget* rightBox) {
        leftBox->setFixedWidth(fittingWidth(leftBox));
        rightBox->setFixedWidth(fittingWidth(rightBox));
        grid->addWidget(caption(leftCaption, frame), line, 0);
        grid->addWidget(leftBox, line, 1);
        grid->addWidget(caption(rightCaption, frame), line, 2);
        grid->addWidget(rightBox, line, 3);
    };
    pair(0, QStringLiteral("处方左边距："), textBox("sheetLeftEdit", &Values::sheetLeft), QStringLiteral("处方上边距："),
         textBox("sheetTopEdit", &Values::sheetTop));
    pair(1, QStringLiteral("处方字体"),
         comboBox("fontNameCombo", {QStringLiteral("宋体"), QStringLiteral("楷体_GB2312"), QStringLiteral("隶书")},
                  &Values::fontName),
         QStringLiteral("字体大小"),
         comboBox("fontSizeCombo", QString("10 11 12 13 14 16 18 20").split(u' '), &Values::fontSize));

    m_portrait = new QRadioButton(QStringLiteral("纵打"), frame);
    m_portrait->setObjectName(QStringLiteral("portraitOption"));
    m_landscape = new QRadioButton(QStringLiteral("横打"), frame);
    m_landscape->setObjectName(QStringLiteral("landscapeOption"));
    connect(m_portrait, &QRadioButton::toggled, this, [this](bool on) {
        if (!m_filling)
            m_settings.edit().portrait = on;
    });
    auto* options = new QHBoxLayout;
    options->addWidget(m_portrait);
    options->addWidget(m_landscape);
    options->addStretch(1);
    grid->addWidget(caption(QStringLiteral("处方打印方式："), frame), 2, 0);
    grid->addLayout(options, 2, 1, 1, 3);

    pair(3, QStringLiteral("套打左边距："), textBox("overlayLeftEdit", &Values::overlayLeft), QStringLiteral("套打上边距："),
         textBox("overlayTopEdit", &Values::overlayTop));
    pair(4, QStringLiteral("注射卡左边距："), textBox("cardLeftEdit", &Values::cardLeft), QStringLiteral("注射卡上边距："),
         textBox("cardTopEdit", &Values::cardTop));
    grid->setColumnStretch(4, 1);
    return frame;
}

QWidget* SettingsWindow::buildOverlayFrame()
{
    auto* frame = new QGroupBox(QStringLiteral("处方套打设置"), this);
    frame->setObjectName(QStringLiteral("overlayFrame"));
    auto* grid = new QGridLayout(frame);
    grid->setVerticalSpacing(1);
    grid->setContentsMargins(6, 4, 6, 4);
    const QStringList& names = SettingsCopy::overlayItemNames();
    int line = 0;
    for (int index : kOverlayRowOrder) {
        OverlayRow& row = m_overlay[size_t(index)];
        row.printed = new QCheckBox(names[index], frame);
        row.printed->setObjectName(QStringLiteral("overlayCheck%1").arg(index));
        row.left = new QLineEdit(frame);
        row.left->setObjectName(QStringLiteral("overlayLeft%1").arg(index));
        row.left->setFixedWidth(kOffsetBoxWidth);
        row.top = new QLineEdit(frame);
        row.top->setObjectName(QStringLiteral("overlayTop%1").arg(index));
        row.top->setFixedWidth(kOffsetBoxWidth);
        row.left->setFixedHeight(kOverlayLineHeight);
        row.top->setFixedHeight(kOverlayLineHeight);

        connect(row.printed, &QCheckBox::stateChanged, this, [this, index](int state) {
            OverlayRow& r = m_overlay[size_t(index)];
            // A greyed box keeps its offsets editable; once clicked it only ticks and clears.
            if (state != Qt::PartiallyChecked)
                r.printed->setTristate(false);
            r.left->setEnabled(state != Qt::Unchecked);
            r.top->setEnabled(state != Qt::Unchecked);
            if (!m_filling) {
                SettingsCopy::OverlayItem& item = m_settings.edit().overlay[size_t(index)];
                item.printed = state == Qt::Checked;
                item.greyed = state == Qt::PartiallyChecked;
            }
        });
        connect(row.left, &QLineEdit::textChanged, this, [this, index](const QString& text) {
            if (!m_filling)
                m_settings.edit().overlay[size_t(index)].left = text;
        });
        connect(row.top, &QLineEdit::textChanged, this, [this, index](const QString& text) {
            if (!m_filling)
                m_settings.edit().overlay[size_t(index)].top = text;
        });

        grid->addWidget(row.printed, line, 0);
        grid->addWidget(new QLabel(QStringLiteral("左边距"), frame), line, 1);
        grid->addWidget(row.left, line, 2);
        grid->addWidget(new QLabel(QStringLiteral("上边距"), frame), line, 3);
        grid->addWidget(row.top, line, 4);
        ++line;
    }
    return frame;
}

void SettingsWindow::fill()
{
    const Values& v = m_settings.values();
    m_filling = true;
    for (const BoundText& t : m_texts)
        t.box->setText(v.*t.field);
    for (const BoundCombo& c : m_combos)
        c.box->setEditText(v.*c.field);
    m_portrait->setChecked(v.portrait);
    m_landscape->setChecked(!v.portrait);
    for (int i = 0; i < SettingsCopy::kOverlayItemCount; ++i) {
        const SettingsCopy::OverlayItem& item = v.overlay[size_t(i)];
        OverlayRow& row = m_overlay[size_t(i)];
        row.printed->setCheckState(item.printed  ? Qt::Checked
                                   : item.greyed ? Qt::PartiallyChecked
                                                 : Qt::Unchecked);
        row.left->setText(item.left);
        row.top->setText(item.top);
        row.left->setEnabled(item.printed || item.greyed);
        row.top->setEnabled(item.printed || item.greyed);
    }
    m_filling = false;
}

void SettingsWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // A window restored from the task bar keeps what it shows; a window opened anew shows the copy.
    if (!event->spontaneous() && !m_reshowing) {
        m_closing = false;
        fill();
        centreOnScreen(this);
    }
}

void SettingsWindow::closeEvent(QCloseEvent* event)
{
    // Closing in any way drops the edits; the next reader takes the row afresh.
    m_closing = true;
    m_settings.unload();
    QWidget::closeEvent(event);
}

void SettingsWindow::onCopyUnloaded()
{
    if (!m_closing && isVisible())
        close();
}

void SettingsWindow::save()
{
    QString error;
    if (m_settings.save(&error)) {
        close();  // the copy has unloaded already; this covers a window that was not visible
        return;
    }
    m_context.messages.warn(error);
}

void SettingsWindow::changePassword()
{
    const QString newPassword = trimBlanks(m_newPassword->text());
    if (newPassword.isEmpty()) {
        m_context.messages.tell(QStringLiteral("请输入新密码！"));
        return;
    }
    // The window steps aside for the result; a change that did not happen brings it back as it
    // was, boxes and place.
    hide();
    const auto refuse = [this](const QString& text, bool warning) {
        if (warning)
            m_context.messages.warn(text);
        else
            m_context.messages.tell(text);
        m_reshowing = true;
        show();
        m_reshowing = false;
    };
    Database* records = m_context.store.records();
    if (!records || !records->isOpen()) {
        refuse(QStringLiteral("档案数据库未打开，无法修改密码！"), true);
        return;
    }
    const std::optional<StoredPassword> stored = readLoginPassword(*records);
    if (!stored) {
        refuse(QStringLiteral("无法读取原密码，无法修改密码！"), true);
        return;
    }
    if (stored->text != trimBlanks(m_oldPassword->text())) {
        refuse(QStringLiteral("原密码不正确，无法修改密码！"), false);
        return;
    }
    // The new password is written before success is told, so the message never promises a
    // password that was not stored.
    if (!writeLoginPassword(*records, stored->rowId, newPassword)) {
        refuse(QStringLiteral("新密码保存失败，原密码仍然有效！"), true);
        return;
    }
    m_context.messages.tell(QStringLiteral("修改密码成功，请牢记新密码！"));
    m_settings.unload();
    close();
}

}  // namespace qelvaro
