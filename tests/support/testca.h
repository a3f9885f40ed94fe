#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QStandardPaths>
#include <QTemporaryDir>

// A certificate authority made for one test run with the openssl program, and server
// certificates for the loopback addresses: good, expired, for another host, and one signed by
// an authority nobody trusts.
class TestCa
{
public:
    enum class Server { Good, Expired, OtherHost, Untrusted, SelfSigned };

    // False when openssl is missing or fails.
    bool make()
    {
        if (!m_dir.isValid() || QStandardPaths::findExecutable(QStringLiteral("openssl")).isEmpty())
            return false;
        const QString loopback = QStringLiteral("subjectAltName=DNS:localhost,IP:127.0.0.1,IP:::1\n");
        return selfSigned(QStringLiteral("ca"), QStringLiteral("/CN=Vantora Test CA")) &&
            selfSigned(QStringLiteral("stranger"), QStringLiteral("/CN=Stranger CA")) &&
            selfSigned(QStringLiteral("self"), QStringLiteral("/CN=localhost"), loopback.trimmed()) &&
            signedLeaf(QStringLiteral("good"), QStringLiteral("ca"), loopback, QStringLiteral("36500")) &&
            signedLeaf(QStringLiteral("expired"), QStringLiteral("ca"), loopback, QStringLiteral("-1")) &&
            signedLeaf(QStringLiteral("other"), QStringLiteral("ca"),
                       QStringLiteral("subjectAltName=DNS:other.test\n"), QStringLiteral("36500")) &&
            signedLeaf(QStringLiteral("untrusted"), QStringLiteral("stranger"), loopback,
                       QStringLiteral("36500"));
    }

    QList<QSslCertificate> authority() const
    {
        return QSslCertificate::fromPath(path(QStringLiteral("ca.pem")));
    }

    QSslConfiguration serverConfiguration(Server server) const
    {
        static const char *const names[] = {"good", "expired", "other", "untrusted", "self"};
        const QString name = QString::fromLatin1(names[static_cast<int>(server)]);
        QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
        configuration.setLocalCertificate(
            QSslCertificate::fromPath(path(name + QStringLiteral(".pem"))).value(0));
        QFile keyFile(path(name + QStringLiteral(".key")));
        if (keyFile.open(QIODevice::ReadOnly))
            configuration.setPrivateKey(QSslKey(&keyFile, QSsl::Ec));
        configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
        return configuration;
    }

private:
    QString path(const QString &file) const { return m_dir.filePath(file); }

    bool run(const QStringList &arguments) const
    {
        QProcess openssl;
        openssl.setWorkingDirectory(m_dir.path());
        openssl.start(QStringLiteral("openssl"), arguments);
        return openssl.waitForFinished(60000) && openssl.exitStatus() == QProcess::NormalExit &&
            openssl.exitCode() == 0;
    }

    static QStringList newKey()
    {
        return {QStringLiteral("-newkey"), QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
                QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes")};
    }

    // An authority, or with names (a subjectAltName line) a server certificate signed by itself.
    bool selfSigned(const QString &name, const QString &subject, const QString &names = {}) const
    {
        QStringList arguments{QStringLiteral("req"), QStringLiteral("-x509")};
        arguments += newKey();
        arguments += {QStringLiteral("-keyout"), name + QStringLiteral(".key"),
                      QStringLiteral("-out"),    name + QStringLiteral(".pem"),
                      QStringLiteral("-days"),   QStringLiteral("36500"),
                      QStringLiteral("-subj"),   subject};
        if (names.isEmpty())
            arguments += {QStringLiteral("-addext"), QStringLiteral("basicConstraints=critical,CA:true"),
                          QStringLiteral("-addext"), QStringLiteral("keyUsage=critical,keyCertSign")};
        else
            arguments += {QStringLiteral("-addext"), names};
        return run(arguments);
    }

    // A server certificate; days -1 makes it expired already.
    bool signedLeaf(const QString &name, const QString &ca, const QString &extensions,
                    const QString &days) const
    {
        QFile ext(path(name + QStringLiteral(".ext")));
        if (!ext.open(QIODevice::WriteOnly) || ext.write(extensions.toLatin1()) < 0)
            return false;
        ext.close();
        return run(QStringList{QStringLiteral("req")} + newKey() +
                   QStringList{QStringLiteral("-keyout"), name + QStringLiteral(".key"),
                               QStringLiteral("-out"), name + QStringLiteral(".csr"), QStringLiteral("-subj"),
                               QStringLiteral("/CN=localhost")}) &&
            run({QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"),
                 name + QStringLiteral(".csr"), QStringLiteral("-CA"), ca + QStringLiteral(".pem"),
                 QStringLiteral("-CAkey"), ca + QStringLiteral(".key"), QStringLiteral("-set_serial"),
                 QString::number(qHash(name)), QStringLiteral("-days"), days, QStringLiteral("-extfile"),
                 name + QStringLiteral(".ext"), QStringLiteral("-out"), name + QStringLiteral(".pem")});
    }

    QTemporaryDir m_dir;
};
