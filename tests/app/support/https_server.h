#pragma once
// A small HTTPS server on 127.0.0.1 for download tests, with a self-signed
// certificate made at test time by the openssl tool.
#include <QByteArray>
#include <QList>
#include <QSslCertificate>
#include <QSslKey>
#include <QTcpServer>

namespace apptest {

struct TestCertificate {
    QSslCertificate certificate;
    QSslKey key;
    bool Valid() const { return !certificate.isNull() && !key.isNull(); }
};

// A new self-signed certificate for 127.0.0.1 and localhost.
TestCertificate MakeTestCertificate(const QString& dir);

class HttpsServer : public QTcpServer {
    Q_OBJECT
public:
    explicit HttpsServer(const TestCertificate& cert);
    // body is sent in pieces of chunk bytes, one every intervalMs; without a
    // length the connection closes after the body. Qt reports download
    // progress at most every 100 ms, so a test that wants to see steps
    // before completion paces the pieces further apart than that.
    void SetBody(const QByteArray& body, bool withLength, int chunk = 16384, int intervalMs = 5);
    quint16 Start();
    QString Url(const QString& path) const;
    int Requests() const { return m_requests; }

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    TestCertificate m_cert;
    QByteArray m_body;
    bool m_withLength = true;
    int m_chunk = 16384;
    int m_intervalMs = 5;
    int m_requests = 0;
};

}  // namespace apptest
