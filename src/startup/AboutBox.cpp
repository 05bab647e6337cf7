#include "AboutBox.h"

#include "MessageSink.h"
#include "UrlOpener.h"
#include "WindowHelpers.h"

#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

namespace qelvaro {
namespace {

// The program's mark: a prescription "Rp" on a paper sheet, drawn so the program needs no image files.
QPixmap programMark(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x80, 0x80, 0x80), 2));
    p.setBrush(QColor(0xFF, 0xFD, 0xF0));
    p.drawRoundedRect(QRectF(size * 0.12, size * 0.05, size * 0.76, size * 0.9), 4, 4);
    QFont font(QStringLiteral("Serif"));
    font.setPixelSize(size * 2 / 5);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(0xB0, 0x20, 0x20));
    p.drawText(QRectF(0, 0, size, size * 0.7), Qt::AlignCenter, QStringLiteral("Rp"));
    p.setPen(QPen(QColor(0x60, 0x60, 0x60), 1.5));
    for (int i = 0; i < 3; ++i) {
        const qreal y = size * (0.68 + 0.08 * i);
        p.drawLine(QPointF(size * 0.25, y), QPointF(size * 0.75, y));
    }
    return pixmap;
}

}  // namespace

AboutBox::AboutBox(UrlOpener& urlOpener, MessageSink& messages, QWidget* parent)
    : QWidget(parent, Qt::Window), m_urlOpener(urlOpener), m_messages(messages)
{
    setObjectName(QStringLiteral("aboutBox"));
    setWindowTitle(QStringLiteral("关于"));
    centreWhenFirstShown(this);
    setAttribute(Qt::WA_DeleteOnClose, false);

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("aboutPicture"));
    picture->setPixmap(programMark(64));

    QLabel* product = productNameLabel(this);

    auto* version = new QLabel(QStringLiteral("版本：V4.0"), this);
    version->setObjectName(QStringLiteral("versionLabel"));
    auto* homeCaption = new QLabel(QStringLiteral("主页："), this);

    m_link = new QLabel(kHomePage.toString(), this);
    m_link->setObjectName(QStringLiteral("homePageLink"));
    m_link->setStyleSheet(QStringLiteral("color: blue;"));
    m_link->setCursor(Qt::PointingHandCursor);
    m_link->installEventFilter(this);

    auto* description = new QLabel(QStringLiteral("Qelvaro 开发组 出品"), this);
    description->setObjectName(QStringLiteral("descriptionLabel"));

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(24, 20, 24, 20);
    grid->setHorizontalSpacing(12);
    grid->addWidget(picture, 0, 0, 3, 1, Qt::AlignTop);
    grid->addWidget(product, 0, 1, 1, 2);
    grid->addWidget(version, 1, 1, 1, 2);
    grid->addWidget(homeCaption, 2, 1);
    grid->addWidget(m_link, 2, 2);
    grid->addWidget(description, 3, 1, 1, 2);
    setFixedSize(sizeHint());
}


bool AboutBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_link && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        // Without a browser the click would do nothing visible; the box stays either way.
        if (!m_urlOpener.open(kHomePage))
            m_messages.warn(kHomePageNotOpenedMessage);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace qelvaro
