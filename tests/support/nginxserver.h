#pragma once

// An nginx of the test's own on a free loopback port, serving a folder with
// a configuration written for the test, stopped by its process id. Tests
// that use it link Qt6::Network.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>

#include <csignal>
#include <memory>
#include <sys/types.h>
#include <sys/wait.h>

#include "testenv.h"

namespace testenv {

// A self-signed certificate for 127.0.0.1: folder/cert.pem and folder/key.pem.
inline bool makeCertificate(const QString& folder)
{
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("rsa:2048"),
                   QStringLiteral("-nodes"), QStringLiteral("-keyout"), folder + QStringLiteral("/key.pem"), QStringLiteral("-out"),
                   folder + QStringLiteral("/cert.pem"), QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
                   QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-addext"), QStringLiteral("subjectAltName=IP:127.0.0.1")});
    return openssl.waitForFinished(30000) && openssl.exitStatus() == QProcess::NormalExit && openssl.exitCode() == 0;
}

class NginxServer {
public:
    ~NginxServer() { stop(); }

    // Serves root; serverLines go inside the server block ("limit_rate 1m;"),
    // listenOptions after the listen address ("ssl").
    bool start(const QString& root, const QString& serverLines = QString(), const QString& listenOptions = QString())
    {
        stop();
        dir_ = freshDir(QStringLiteral("nginx-%1").arg(++instances_));
        QTcpServer probe;
        if (!probe.listen(QHostAddress::LocalHost, 0))
            return false;
        port_ = probe.serverPort();
        probe.close();
        const QString conf = QStringLiteral(
            "daemon off;\nmaster_process off;\nworker_processes 1;\npid %1/nginx.pid;\nerror_log %1/error.log warn;\n"
            "events { worker_connections 64; }\n"
            "http {\n"
            "  log_format t '$request|$status|$http_range|$http_if_range|$body_bytes_sent';\n"
            "  access_log %1/access.log t;\n"
            "  client_body_temp_path %1/body; proxy_temp_path %1/proxy; fastcgi_temp_path %1/fastcgi;\n"
            "  uwsgi_temp_path %1/uwsgi; scgi_temp_path %1/scgi;\n"
            "  default_type application/octet-stream;\n  sendfile on;\n"
            "  server {\n    listen 127.0.0.1:%2 %5;\n    root %3;\n%4\n  }\n}\n")
                                 .arg(dir_).arg(port_).arg(root, serverLines, listenOptions);
        if (!writeFile(dir_ + QStringLiteral("/nginx.conf"), conf.toUtf8()))
            return false;
        process_ = std::make_unique<QProcess>();
        process_->setProcessChannelMode(QProcess::ForwardedChannels);
        process_->start(QStringLiteral("/usr/sbin/nginx"),
                        {QStringLiteral("-p"), dir_, QStringLiteral("-e"), dir_ + QStringLiteral("/error.log"),
                         QStringLiteral("-c"), dir_ + QStringLiteral("/nginx.conf")});
        if (!process_->waitForStarted(5000))
            return false;
        return waitFor([this] {
            QTcpSocket s;
            s.connectToHost(QHostAddress::LocalHost, port_);
            return s.waitForConnected(100);
        }, 5000);
    }

    void stop()
    {
        if (!process_)
            return;
        const qint64 pid = process_->processId();
        if (pid > 0 && process_->state() != QProcess::NotRunning) {
            ::kill(static_cast<pid_t>(pid), SIGTERM);
            if (!process_->waitForFinished(5000)) {
                ::kill(static_cast<pid_t>(pid), SIGKILL);
                process_->waitForFinished(5000);
            }
        }
        process_.reset();
    }

    quint16 port() const { return port_; }
    QString base() const { return QStringLiteral("http://127.0.0.1:%1").arg(port_); }
    // One line per request: request|status|range|if-range|body bytes.
    QStringList accessLog() const
    {
        return QString::fromUtf8(readFile(dir_ + QStringLiteral("/access.log"))).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

private:
    static inline int instances_ = 0;
    QString dir_;
    quint16 port_ = 0;
    std::unique_ptr<QProcess> process_;
};

} // namespace testenv
