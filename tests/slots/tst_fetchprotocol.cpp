#include "slots/camaddress.h"
#include "slots/fetchoutcome.h"
#include "slots/httpauth.h"
#include "slots/redirect.h"
#include "slots/replyheader.h"

#include <QtTest>

// The byte side of redirects and password challenges.
class TestFetchProtocol : public QObject
{
    Q_OBJECT

private slots:
    void location_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QByteArray>("location");
        QTest::addColumn<int>("status"); // RedirectTarget::Status
        QTest::addColumn<bool>("secure");
        QTest::addColumn<QString>("hostHeader");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("userName");
        constexpr int ok = int(RedirectTarget::Status::Ok);
        constexpr int bad = int(RedirectTarget::Status::Bad);
        const auto row = [](const char *tag, const char *from, const char *location, int status, bool secure,
                            const char *hostHeader, const char *path, const char *userName) {
            QTest::newRow(tag) << QString::fromLatin1(from) << QByteArray(location) << status << secure
                               << QString::fromLatin1(hostHeader) << QString::fromLatin1(path)
                               << QString::fromLatin1(userName);
        };
        row("relative path", "http://cam:8080/a/b/old.jpg?x=1", "../new.jpg?y=2", ok, false, "cam:8080",
            "/a/new.jpg?y=2", "");
        // The password goes along to the same scheme, host and port, and on the one upgrade from
        // http's default port to https's default port of the same host.
        row("same host and port keep the password", "http://u:p@cam:8080/a.jpg", "/b.jpg", ok, false,
            "cam:8080", "/b.jpg", "u");
        row("default port written out is the same port", "http://u:p@cam/p.jpg", "http://CAM:80/q.jpg", ok,
            false, "cam:80", "/q.jpg", "u");
        row("http to https on their default ports keeps it", "http://u:p@cam/p.jpg", "https://cam/p.jpg", ok,
            true, "cam", "/p.jpg", "u");
        row("another port of the same host gets no password", "http://u:p@cam:8080/p.jpg",
            "http://cam:9000/p.jpg", ok, false, "cam:9000", "/p.jpg", "");
        row("http to https on another port gets no password", "http://u:p@cam/p.jpg",
            "https://CAM:8443/p.jpg", ok, true, "cam:8443", "/p.jpg", "");
        row("http on its own port to https's default gets none", "http://u:p@cam:8080/p.jpg",
            "https://cam/p.jpg", ok, true, "cam", "/p.jpg", "");
        row("https to another https port gets none", "https://u:p@cam/p.jpg", "https://cam:8443/p.jpg", ok,
            true, "cam:8443", "/p.jpg", "");
        row("another host gets no password", "http://u:p@cam/p.jpg", "http://other/p.jpg", ok, false, "other",
            "/p.jpg", "");
        row("a Location's own password is used", "http://u:p@cam/p.jpg", "http://v:q@cam:9000/p.jpg", ok,
            false, "cam:9000", "/p.jpg", "v");
        row("another scheme", "cam/p.jpg", "ftp://cam/p.jpg", bad, false, "", "", "");
    }

    void location()
    {
        QFETCH(QString, from);
        QFETCH(QByteArray, location);
        QFETCH(int, status);
        const RedirectTarget target = resolveLocation(splitAddress(from).address, location);
        QCOMPARE(int(target.status), status);
        if (target.status != RedirectTarget::Status::Ok)
            return;
        QTEST(target.address.secure, "secure");
        QTEST(target.address.hostHeader, "hostHeader");
        QTEST(target.address.requestPath, "path");
        QTEST(target.address.userName, "userName");
    }

    void unauthorized_data()
    {
        QTest::addColumn<QByteArray>("status");
        QTest::addColumn<bool>("withCredentials"); // the address carried a user name or password
        QTest::addColumn<FetchOutcome::Kind>("kind");
        using K = FetchOutcome::Kind;
        QTest::newRow("401, none in the address")
            << QByteArray("HTTP/1.1 401 Unauthorized") << false << K::NeedsPassword;
        QTest::newRow("401, the address's refused")
            << QByteArray("HTTP/1.1 401 Unauthorized") << true << K::PasswordRefused;
        QTest::newRow("403 with one") << QByteArray("HTTP/1.1 403 Forbidden") << true << K::ServerAnswered;
    }

    void unauthorized()
    {
        QFETCH(QByteArray, status);
        QFETCH(bool, withCredentials);
        QTEST(replyOutcome(status + "\r\nContent-Type: text/html", false, withCredentials).kind, "kind");
    }

    // The detail view's status line: the camera named, the library's words only when they add any.
    void statusLine_data()
    {
        QTest::addColumn<FetchOutcome::Kind>("kind");
        QTest::addColumn<QString>("detail");
        QTest::addColumn<QString>("library");
        QTest::addColumn<QString>("line");
        using K = FetchOutcome::Kind;
        QTest::newRow("no library words") << K::NoAnswer << "30" << QString() << "Garden: no answer for 30 s";
        QTest::newRow("library words in brackets")
            << K::CertificateNotTrusted << "certificate expired"
            << "The certificate has expired"
            << "Garden: certificate expired (The certificate has expired)";
        QTest::newRow("library words said already") << K::CouldNotConnect << "connection refused"
                                                    << "Connection refused"
                                                    << "Garden: could not connect: connection refused";
        QTest::newRow("library words on one line")
            << K::SecureConnectionFailed << QString() << "Handshake failed:\r\n\tline two"
            << "Garden: secure connection failed (Handshake failed: line two)";
    }

    void statusLine()
    {
        QFETCH(FetchOutcome::Kind, kind);
        QFETCH(QString, detail);
        QFETCH(QString, library);
        QTEST((FetchOutcome{kind, detail, library}.statusText(QStringLiteral("Garden"))), "line");
    }

    void redirectStatus_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("redirects");
        for (const int code : {301, 302, 303, 307, 308})
            QTest::addRow("%d", code) << code << true;
        for (const int code : {300, 304}) // a choice of addresses; "not modified"
            QTest::addRow("%d", code) << code << false;
    }

    void redirectStatus()
    {
        QFETCH(int, code);
        QTEST(isRedirectStatus(code), "redirects");
    }

    void challengeChosen_data()
    {
        QTest::addColumn<QByteArray>("lines"); // WWW-Authenticate lines
        QTest::addColumn<int>("scheme");
        QTest::addColumn<QByteArray>("algorithm");
        QTest::addColumn<QByteArray>("realm");
        constexpr int none = int(AuthChallenge::Scheme::None);
        constexpr int basic = int(AuthChallenge::Scheme::Basic);
        constexpr int digest = int(AuthChallenge::Scheme::Digest);
        QTest::newRow("basic") << QByteArray("WWW-Authenticate: Basic realm=\"cam \\\"1\\\"\"") << basic
                               << QByteArray() << QByteArray("cam \"1\"");
        QTest::newRow("SHA-256 before MD5 before Basic, across lines")
            << QByteArray("WWW-Authenticate: Basic realm=\"b\"\r\nWWW-Authenticate: Digest realm=\"m\", "
                          "nonce=\"n\", qop=\"auth\", Digest realm=\"s\", nonce=\"n\", qop=auth, "
                          "algorithm=SHA-256")
            << digest << QByteArray("SHA-256") << QByteArray("s");
        QTest::newRow("auth-int only cannot be answered")
            << QByteArray("WWW-Authenticate: Digest realm=\"r\", nonce=\"n\", qop=\"auth-int\"") << none
            << QByteArray() << QByteArray();
        QTest::newRow("unknown algorithm") << QByteArray("WWW-Authenticate: Digest realm=\"r\", nonce=\"n\", "
                                                         "algorithm=SHA-512-256")
                                           << none << QByteArray() << QByteArray();
    }

    void challengeChosen()
    {
        QFETCH(QByteArray, lines);
        const AuthChallenge c = chooseChallenge("HTTP/1.1 401 Unauthorized\r\n" + lines);
        QTEST(int(c.scheme), "scheme");
        if (c.scheme == AuthChallenge::Scheme::None)
            return;
        QTEST(c.algorithm, "algorithm");
        QTEST(c.realm, "realm");
    }

    void digestOfTheRfcExample_data()
    {
        QTest::addColumn<QByteArray>("algorithm");
        QTest::addColumn<quint32>("nc"); // requests answered on the nonce, this one included
        QTest::addColumn<QByteArray>("ncText"); // as sent, hexadecimal
        QTest::addColumn<QByteArray>("response");
        QTest::newRow("MD5") << QByteArray("MD5") << 1U << QByteArray("00000001")
                             << QByteArray("8ca523f5e9506fed4657c9700eebdbec");
        QTest::newRow("SHA-256") << QByteArray("SHA-256") << 1U << QByteArray("00000001")
                                 << QByteArray(
                                        "753927fa0e85d155564e2e272a28d1802ca10daf4496794697cf8db5856cb6c1");
        QTest::newRow("MD5, tenth request") << QByteArray("MD5") << 10U << QByteArray("0000000a")
                                            << QByteArray("c6c7fe4805f94693cf246790d3b2afe2");
    }

    void digestOfTheRfcExample()
    {
        QFETCH(QByteArray, algorithm);
        QFETCH(quint32, nc);
        QFETCH(QByteArray, ncText);
        QFETCH(QByteArray, response);
        // The worked example of RFC 7616, section 3.9.1.
        const AuthChallenge c = chooseChallenge(
            "HTTP/1.1 401 Unauthorized\r\nWWW-Authenticate: Digest realm=\"http-auth@example.org\", "
            "qop=\"auth, auth-int\", algorithm=" +
            algorithm +
            ", nonce=\"7ypf/xlj9XXwfDPEoM4URrv/xwf94BcCAzFZH4GiTo0v\","
            " opaque=\"FQhe/qaU925kfnzjCev0ciny7QMkPqMAFRtzCUYo5tdS\"");
        const DigestInput input{QStringLiteral("Mufasa"),
                                QStringLiteral("Circle of Life"),
                                "GET",
                                "/dir/index.html",
                                nc,
                                "f2/wE4q74E6zIJEtWaHKaf5wv/H5QzzpXusqGemxURZJ"};
        QCOMPARE(digestResponse(c, input), response);
        QCOMPARE(digestAuthorization(c, input),
                 "Digest username=\"Mufasa\", realm=\"http-auth@example.org\", uri=\"/dir/index.html\", "
                 "algorithm=" +
                     algorithm + ", nonce=\"7ypf/xlj9XXwfDPEoM4URrv/xwf94BcCAzFZH4GiTo0v\", nc=" + ncText +
                     ", "
                     "cnonce=\"f2/wE4q74E6zIJEtWaHKaf5wv/H5QzzpXusqGemxURZJ\", qop=auth, response=\"" +
                     response + "\", opaque=\"FQhe/qaU925kfnzjCev0ciny7QMkPqMAFRtzCUYo5tdS\"");
    }

    void basicOfTheRfcExample()
    {
        QCOMPARE(basicAuthorization(QStringLiteral("Aladdin"), QStringLiteral("open sesame")),
                 QByteArray("Basic QWxhZGRpbjpvcGVuIHNlc2FtZQ=="));
    }
};

QTEST_GUILESS_MAIN(TestFetchProtocol)
#include "tst_fetchprotocol.moc"
