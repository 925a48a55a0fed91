#pragma once
// Takes the place of the desktop's handler for a URL scheme and records what
// the program asked to open.
#include <QList>
#include <QObject>
#include <QUrl>

namespace apptest {

class UrlRecorder : public QObject {
    Q_OBJECT
public:
    explicit UrlRecorder(const QStringList& schemes);
    ~UrlRecorder() override;
    QList<QUrl> opened;

public slots:
    void Open(const QUrl& url) { opened.append(url); }

private:
    QStringList m_schemes;
};

}  // namespace apptest
