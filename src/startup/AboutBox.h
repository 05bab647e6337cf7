#pragma once

#include <QWidget>

class QLabel;

namespace qelvaro {

class MessageSink;
class UrlOpener;

inline const QString kHomePageNotOpenedMessage =
    QStringLiteral("无法打开主页，请确认电脑上已安装网页浏览器。");

// "关于": product name, version, home page link and a line on the developer. Modeless, no buttons;
// it closes with its close box.
class AboutBox : public QWidget {
    Q_OBJECT
public:
    AboutBox(UrlOpener& urlOpener, MessageSink& messages, QWidget* parent = nullptr);

    QLabel* homePageLink() const { return m_link; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    UrlOpener& m_urlOpener;
    MessageSink& m_messages;
    QLabel* m_link;
};

}  // namespace qelvaro
