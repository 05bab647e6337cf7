#pragma once

#include <QWidget>

class QLabel;

namespace qelvaro {

class UrlOpener;

// "关于": product name, version, home page link and a line on the developer. Modeless, no buttons;
// it closes with its close box.
class AboutBox : public QWidget {
    Q_OBJECT
public:
    explicit AboutBox(UrlOpener& urlOpener, QWidget* parent = nullptr);

    QLabel* homePageLink() const { return m_link; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    UrlOpener& m_urlOpener;
    QLabel* m_link;
};

}  // namespace qelvaro
