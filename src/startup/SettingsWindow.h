#pragma once

#include "SettingsCopy.h"

#include <QWidget>

#include <array>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace qelvaro {

struct AppContext;

// "基本设置": a view over the settings working copy. Showing it fills the controls from the copy;
// every edit goes straight into the copy, so readers see unsaved edits at once. 保存 writes the
// row, 取消 and the close box drop the edits; the frame "修改登录密码" changes the login password.
class SettingsWindow : public QWidget {
    Q_OBJECT
public:
    explicit SettingsWindow(AppContext& context, QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    struct OverlayRow {
        QCheckBox* printed = nullptr;
        QLineEdit* left = nullptr;
        QLineEdit* top = nullptr;
    };

    QWidget* buildGeneralFrame();
    QWidget* buildPasswordFrame();
    QWidget* buildPrintFrame();
    QWidget* buildOverlayFrame();
    QLineEdit* textBox(const char* objectName, QString SettingsCopy::Values::*field);
    QComboBox* comboBox(const char* objectName, const QStringList& items, QString SettingsCopy::Values::*field);

    void fill();
    void save();
    void changePassword();
    void onCopyUnloaded();

    AppContext& m_context;
    SettingsCopy& m_settings;
    bool m_filling = false;
    bool m_closing = false;
    bool m_reshowing = false;  // back after a password change that did not happen: nothing refilled

    struct BoundText {
        QLineEdit* box;
        QString SettingsCopy::Values::*field;
    };
    struct BoundCombo {
        QComboBox* box;
        QString SettingsCopy::Values::*field;
    };
    QList<BoundText> m_texts;
    QList<BoundCombo> m_combos;
    QRadioButton* m_portrait = nullptr;
    QRadioButton* m_landscape = nullptr;
    std::array<OverlayRow, SettingsCopy::kOverlayItemCount> m_overlay;
    QLineEdit* m_oldPassword = nullptr;
    QLineEdit* m_newPassword = nullptr;
};

}  // namespace qelvaro
