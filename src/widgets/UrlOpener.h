#pragma once

#include <QUrl>

namespace qelvaro {

// Opens an address in the browser; tests record the request instead.
class UrlOpener {
public:
    virtual ~UrlOpener() = default;
    virtual bool open(const QUrl& url) = 0;
};

class DesktopUrlOpener : public UrlOpener {
public:
    bool open(const QUrl& url) override;
};

inline const QUrl kHomePage{QStringLiteral("https://www.qelvaro.example/")};

}  // namespace qelvaro
