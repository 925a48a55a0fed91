#include "https_server.h"

#include <QFile>
#include <QHostAddress>
#include <QProcess>
#include <QSslSocket>
#include <QTimer>

namespace apptest {

TestCertificate MakeTestCertificate(const QString& dir) {
    const QString certPath = dir + "/cert.pem";
    const QString keyPath = dir + "/key.pem";
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", keyPath, "-out", certPath, "-days", "2",
                   "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1,DNS:localhost"});
    TestCertificate result;
    if (!openssl.waitForFinished(30000) || openssl.exitCode() != 0) {
        return result;
    }
    QFile cert(certPath), key(keyPath);
    if (cert.open(QIODevice::ReadOnly) && key.open(QIODevice::ReadOnly)) {
        result.certificate = QSslCertificate(cert.readAll(), QSsl::Pem);
        result.key = QSslKey(key.readAll(), QSsl::Rsa, QSsl::Pem);
    }
    return result;
}

HttpsServer::HttpsServer(const TestCertificate& cert) : m_cert(cert) {}

void HttpsServer::SetBody(const QByteArray& body, bool withLength, int chunk, int intervalMs) {
    m_body = body;
    m_withLength = withLength;
    m_chunk = chunk;
    m_intervalMs = intervalMs;
}

quint16 HttpsServer::Start() { return listen(QHostAddress::LocalHost, 0) ? serverPort() : 0; }

QString HttpsServer::Url(const QString& path) const {
    return QStringLiteral("https://127.0.0.1:%1%2").arg(serverPort()).arg(path);
}

void HttpsServer::incomingConnection(qintptr descriptor) {
    auto* socket = new QSslSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        socket->deleteLater();
        return;
    }
    socket->setLocalCertificate(m_cert.certificate);
    socket->setPrivateKey(m_cert.key);
    connect(socket, &QSslSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QSslSocket::readyRead, this, [this, socket] {
        if (socket->property("answered").toBool() || !socket->peek(65536).contains("\r\n\r\n")) {
            return;
        }
        socket->setProperty("answered", true);
        socket->readAll();
        ++m_requests;
        QByteArray head = "HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\nConnection: close\r\n";
        if (m_withLength) head += "Content-Length: " + QByteArray::number(m_body.size()) + "\r\n";
        socket->write(head + "\r\n");
        // The body goes out piece by piece so the client sees several progress steps.
        auto offset = std::make_shared<int>(0);
        auto* timer = new QTimer(socket);
        connect(timer, &QTimer::timeout, socket, [this, socket, timer, offset] {
            if (*offset >= m_body.size()) {
                timer->stop();
                socket->disconnectFromHost();
                return;
            }
            socket->write(m_body.mid(*offset, m_chunk));
            *offset += m_chunk;
        });
        timer->start(m_intervalMs);
    });
    socket->startServerEncryption();
}

}  // namespace apptest
