#pragma once

#include "InfusionCardFormat.h"
#include "InfusionCardPrint.h"

#include <QString>
#include <QWidget>

#include <array>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace qelvaro {

struct AppContext;
class DrawingSurface;
class MainWindow;
class RowList;
class RowListModel;

inline const QString kCardUnreadMessage = QStringLiteral("无法读取该处方的档案，输液执行卡不能保存。");
inline const QString kCardPrescriptionNotSavedMessage = QStringLiteral("处方未能保存，输液执行卡未保存。");
inline const QString kCardRecordMissingMessage =
    QStringLiteral("找不到此输液执行卡所属的处方档案（主窗口已换到其他处方），输液执行卡未保存。");
inline const QString kCardSaveFailedMessage = QStringLiteral("输液执行卡保存失败！");
inline const QString kCardPrintSettingsFailedMessage = QStringLiteral("输液执行卡的打印设置未能保存。");

// The infusion execution card of the prescription open in the main window, shown as a paper card
// of 148 x 210 mm: header, a grid of fourteen rows (名称, 速度, 执行时间, 护士签名) and footer.
// A new card takes its header from the prescription and its names from the injection-card text;
// a stored card is restored as saved. The card belongs to the record it was opened for: 保存
// writes into that record only. The window keeps its print margins and orientation in the
// settings row (suffix 3), read at every opening and written back on every close.
//
// The window object lives for the whole run; each opening starts its controls afresh.
class InfusionCardWindow : public QWidget {
    Q_OBJECT
public:
    static inline const QString kCaption = QStringLiteral("输液执行卡");
    static inline const QString kDripRate = QStringLiteral("60滴/分");

    InfusionCardWindow(MainWindow& main, AppContext& context, QWidget* parent = nullptr);

    // Shows the card of the open prescription; a window already shown only comes to the front.
    void open();

    // 保存: the prescription (when the main window still holds it), then the card into its record.
    // False when the card was not stored; the user has been told why.
    bool saveCard();
    // 删除行: rows below the current row move up one (names, rates and times; signatures stay).
    void deleteRow();
    // 打印: the card as shown. True when the job reached a printer or a file.
    bool printCard();

    InfusionCard card() const;
    InfusionCardPrintout printout() const;
    QString boundKey() const { return m_boundKey; }
    int currentRow() const { return m_currentRow; }

    QLineEdit* headerBox(InfusionHeader box) const { return m_header.at(size_t(box)); }
    QLineEdit* cell(int column, int row) const { return m_cells.at(column).at(row); }
    RowList* dropList() const { return m_dropList; }
    QLineEdit* leftMarginBox() const { return m_leftMargin; }
    QLineEdit* topMarginBox() const { return m_topMargin; }
    QRadioButton* portraitOption() const { return m_portrait; }
    QRadioButton* landscapeOption() const { return m_landscape; }
    QScrollBar* scrollBar() const { return m_scrollBar; }
    DrawingSurface* cardSurface() const { return m_card; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildViewport();
    void buildCard();
    void buildSettingsFrame();
    void setTabOrderOfControls();

    void load();
    void showCard(const InfusionCard& card);
    static void setCellText(QLineEdit* cell, const QString& text);
    void readPrintSettings();
    void nameChanged(int row);
    void pickDrug();
    void fillOnClick(QLineEdit* cell, const QString& text);
    void placeCard(int value);
    void centreOnCard(QLabel* label);

    MainWindow& m_main;
    AppContext& m_context;

    // Kept for the run, as the window's own state; the cells start afresh at each opening.
    int m_currentRow = 0;
    bool m_loading = false;
    QString m_boundKey;
    bool m_recordUnread = false;
    bool m_settingsRead = false;

    QFrame* m_viewport = nullptr;
    DrawingSurface* m_card = nullptr;
    QScrollBar* m_scrollBar = nullptr;
    std::array<QLabel*, 13> m_labels{};
    std::array<QLineEdit*, kInfusionHeaderCount> m_header{};
    std::array<std::array<QLineEdit*, kInfusionRowCount>, kInfusionColumnCount> m_cells{};
    RowList* m_dropList = nullptr;
    RowListModel* m_dropRows = nullptr;
    QLineEdit* m_leftMargin = nullptr;
    QLineEdit* m_topMargin = nullptr;
    QRadioButton* m_portrait = nullptr;
    QRadioButton* m_landscape = nullptr;
    QPushButton* m_deleteRow = nullptr;
    QPushButton* m_save = nullptr;
    QPushButton* m_print = nullptr;
};

}  // namespace qelvaro
