#include "slots/connectionphrases.h"

#include <algorithm>
#include <array>

namespace {

using S = QAbstractSocket;
using C = QSslError;

constexpr char kNotTrusted[] = "certificate not trusted";
constexpr char kSelfSigned[] = "certificate not trusted (self-signed)";
constexpr char kUnknownAuthority[] = "certificate not trusted (unknown authority)";
constexpr char kChainBroken[] = "certificate chain broken";
constexpr char kBadSignature[] = "certificate signature invalid";
constexpr char kBadDates[] = "certificate dates unreadable";
constexpr char kStatusUnchecked[] = "certificate status could not be checked";
constexpr char kUnknownNetworkError[] = "unknown network error";

constexpr std::array kSocketErrors{
    SocketErrorPhrase{S::ConnectionRefusedError, "connection refused"},
    SocketErrorPhrase{S::RemoteHostClosedError, "closed by the server"},
    SocketErrorPhrase{S::HostNotFoundError, "host not found"},
    SocketErrorPhrase{S::SocketAccessError, "not permitted by the system"},
    SocketErrorPhrase{S::SocketResourceError, "out of system resources"},
    SocketErrorPhrase{S::SocketTimeoutError, "timed out"},
    SocketErrorPhrase{S::DatagramTooLargeError, "message too large"},
    SocketErrorPhrase{S::NetworkError, "network failure"},
    SocketErrorPhrase{S::AddressInUseError, "local address in use"},
    SocketErrorPhrase{S::SocketAddressNotAvailableError, "local address not available"},
    SocketErrorPhrase{S::UnsupportedSocketOperationError, "address type not supported here"},
    SocketErrorPhrase{S::UnfinishedSocketOperationError, "still busy"},
    SocketErrorPhrase{S::ProxyAuthenticationRequiredError, "proxy needs a password"},
    SocketErrorPhrase{S::SslHandshakeFailedError, "secure connection failed"},
    SocketErrorPhrase{S::ProxyConnectionRefusedError, "proxy refused the connection"},
    SocketErrorPhrase{S::ProxyConnectionClosedError, "proxy closed the connection"},
    SocketErrorPhrase{S::ProxyConnectionTimeoutError, "proxy did not answer"},
    SocketErrorPhrase{S::ProxyNotFoundError, "proxy not found"},
    SocketErrorPhrase{S::ProxyProtocolError, "proxy not understood"},
    SocketErrorPhrase{S::OperationError, "connection in the wrong state"},
    SocketErrorPhrase{S::SslInternalError, "encryption failed inside the program"},
    SocketErrorPhrase{S::SslInvalidUserDataError, "encryption settings refused"},
    SocketErrorPhrase{S::TemporaryError, "temporary failure"},
    SocketErrorPhrase{S::UnknownSocketError, kUnknownNetworkError},
};

// Trust first (whom the certificate comes from), then whom it is for, then its dates.
constexpr std::array kCertificateErrors{
    CertificateErrorPhrase{C::SelfSignedCertificate, kSelfSigned},
    CertificateErrorPhrase{C::SelfSignedCertificateInChain, kSelfSigned},
    CertificateErrorPhrase{C::UnableToGetLocalIssuerCertificate, kUnknownAuthority},
    CertificateErrorPhrase{C::UnableToGetIssuerCertificate, kUnknownAuthority},
    CertificateErrorPhrase{C::UnableToVerifyFirstCertificate, kUnknownAuthority},
    CertificateErrorPhrase{C::CertificateUntrusted, kNotTrusted},
    CertificateErrorPhrase{C::CertificateRejected, "certificate rejected"},
    CertificateErrorPhrase{C::InvalidCaCertificate, "certificate not trusted (invalid authority)"},
    CertificateErrorPhrase{C::PathLengthExceeded, "certificate not trusted (chain too long)"},
    CertificateErrorPhrase{C::CertificateRevoked, "certificate revoked"},
    CertificateErrorPhrase{C::CertificateBlacklisted, "certificate blocked"},
    CertificateErrorPhrase{C::CertificateSignatureFailed, kBadSignature},
    CertificateErrorPhrase{C::UnableToDecryptCertificateSignature, kBadSignature},
    CertificateErrorPhrase{C::UnableToDecodeIssuerPublicKey, "certificate authority key unreadable"},
    CertificateErrorPhrase{C::SubjectIssuerMismatch, kChainBroken},
    CertificateErrorPhrase{C::AuthorityIssuerSerialNumberMismatch, kChainBroken},
    CertificateErrorPhrase{C::NoPeerCertificate, "server sent no certificate"},
    CertificateErrorPhrase{C::InvalidPurpose, "certificate not meant for a server"},
    CertificateErrorPhrase{C::HostNameMismatch, "certificate is for another host"},
    CertificateErrorPhrase{C::CertificateExpired, "certificate expired"},
    CertificateErrorPhrase{C::CertificateNotYetValid, "certificate not valid yet"},
    CertificateErrorPhrase{C::InvalidNotBeforeField, kBadDates},
    CertificateErrorPhrase{C::InvalidNotAfterField, kBadDates},
    CertificateErrorPhrase{C::CertificateStatusUnknown, kStatusUnchecked},
    CertificateErrorPhrase{C::OcspNoResponseFound, kStatusUnchecked},
    CertificateErrorPhrase{C::OcspMalformedRequest, kStatusUnchecked},
    CertificateErrorPhrase{C::OcspMalformedResponse, kStatusUnchecked},
    CertificateErrorPhrase{C::OcspInternalError, kStatusUnchecked},
    CertificateErrorPhrase{C::OcspTryLater, kStatusUnchecked},
    CertificateErrorPhrase{C::OcspSigRequred, kStatusUnchecked},
    CertificateErrorPhrase{C::OcspUnauthorized, kStatusUnchecked},
    CertificateErrorPhrase{C::OcspResponseCannotBeTrusted, kStatusUnchecked},
    CertificateErrorPhrase{C::OcspResponseCertIdUnknown, kStatusUnchecked},
    CertificateErrorPhrase{C::OcspResponseExpired, kStatusUnchecked},
    CertificateErrorPhrase{C::OcspStatusUnknown, kStatusUnchecked},
    CertificateErrorPhrase{C::NoSslSupport, "no encryption on this system"},
    CertificateErrorPhrase{C::UnspecifiedError, kNotTrusted},
};

template<typename Row, std::size_t N, typename Error>
const Row *rowOf(const std::array<Row, N> &table, Error error)
{
    const auto *row =
        std::find_if(table.begin(), table.end(), [error](const Row &r) { return r.error == error; });
    return row == table.end() ? nullptr : row;
}

} // namespace

std::span<const SocketErrorPhrase> socketErrorPhrases()
{
    return kSocketErrors;
}

std::span<const CertificateErrorPhrase> certificateErrorPhrases()
{
    return kCertificateErrors;
}

QString socketErrorPhrase(QAbstractSocket::SocketError error)
{
    const SocketErrorPhrase *row = rowOf(kSocketErrors, error);
    return QString::fromLatin1(row != nullptr ? row->phrase : kUnknownNetworkError);
}

QString certificateErrorPhrase(QSslError::SslError error)
{
    const CertificateErrorPhrase *row = rowOf(kCertificateErrors, error);
    return QString::fromLatin1(row != nullptr ? row->phrase : kNotTrusted);
}

QSslError mostTellingError(const QList<QSslError> &errors)
{
    for (const CertificateErrorPhrase &row : kCertificateErrors) {
        const auto found = std::find_if(errors.begin(), errors.end(),
                                        [&row](const QSslError &e) { return e.error() == row.error; });
        if (found != errors.end())
            return *found;
    }
    return errors.value(0);
}
