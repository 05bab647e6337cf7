#pragma once

#include "HistoryCard.h"

#include <QImage>
#include <QWidget>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace qelvaro {

struct AppContext;
class MainWindow;
class Page;

// 病史打印: the history card of the prescription open in the main window, previewed on a card
// surface that scrolls in a grey viewport and printed with the window's own margins and
// orientation (the settings row's history-card columns, read on opening and stored on closing).
//
// Each opening takes a fresh copy of the clinic name, the heading fields and the history record;
// while the window stays open, edits in the main window reach neither preview nor print, except
// the prescription body, which the print reads again at each press.
//
// objectNames: cardViewport, cardSurface, cardScrollBar, leftMarginBox, topMarginBox,
// portraitOption (纵打), landscapeOption (横打), printHistoryButton (打印病史); the hidden
// historyBox wraps the record as the card shows it.
class HistoryCardWindow : public QWidget {
    Q_OBJECT
public:
    static inline const QString kCaption = QStringLiteral("病史打印");

    HistoryCardWindow(MainWindow& main, AppContext& context, QWidget* parent = nullptr);

    // The main window's card button: opens the window with a fresh copy, or only brings it
    // forward while it is open.
    void open();
    // 打印病史: one job a press. True only when it reached a printer or a file.
    bool print();

    const HistoryCard& card() const { return m_card; }
    // The preview as drawn on opening; drawPreview draws the same on any page.
    const QImage& previewImage() const { return m_preview; }
    void drawPreview(Page& page) const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void load();
    void readPrintSettings();
    void storePrintSettings();
    void renderPreview();
    void scrollCard(int value);

    MainWindow& m_main;
    AppContext& m_context;
    HistoryCard m_card;
    QString m_previewBody;
    QImage m_preview;
    bool m_settingsRead = false;
    bool m_openedBefore = false;

    QWidget* m_viewport = nullptr;
    QWidget* m_surface = nullptr;
    QPlainTextEdit* m_historyBox = nullptr;
    QScrollBar* m_scrollBar = nullptr;
    QLineEdit* m_leftMargin = nullptr;
    QLineEdit* m_topMargin = nullptr;
    QRadioButton* m_portrait = nullptr;
    QRadioButton* m_landscape = nullptr;
    QPushButton* m_printButton = nullptr;
};

}  // namespace qelvaro
