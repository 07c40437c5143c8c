#include "run/FetchFailureText.h"

#include <string_view>

#include "base/FailureReason.h"
#include "web/CertificateQuestion.h"

namespace tandemix {
namespace {

// "<what>: <host>." or, with no host known, "<what>."
std::string NamingHost(std::string_view what, const std::string& host) {
    std::string text(what);
    if (!host.empty()) {
        text.append(": ").append(host);
    }
    return text + ".";
}

std::string_view CertificateReason(CertificateFault fault) {
    switch (fault) {
        case CertificateFault::Expired:
            return certificate_reasons::kExpired;
        case CertificateFault::NotYetValid:
            return certificate_reasons::kNotYetValid;
        case CertificateFault::OtherName:
            return certificate_reasons::kOtherName;
        case CertificateFault::UnknownIssuer:
            return "unbekannter Aussteller";
        case CertificateFault::Untrusted:
            break;
    }
    return "nicht vertrauensw\xC3\xBCrdig";
}

}  // namespace

std::string FetchFailureText(const FetchFailure& failure) {
    switch (failure.kind) {
        case FetchFailureKind::None:
            return {};
        case FetchFailureKind::InvalidAddress:
            return "Die Adresse ist keine g\xC3\xBCltige http- oder https-Adresse.";
        case FetchFailureKind::HostNotFound:
            return NamingHost("Rechnername nicht gefunden", failure.host);
        case FetchFailureKind::ProxyNotFound:
            return "Rechnername des Proxys nicht gefunden.";
        case FetchFailureKind::ConnectionRefused:
            return NamingHost("Verbindung abgelehnt", failure.host);
        case FetchFailureKind::NoConnection:
            return NamingHost("Keine Verbindung", failure.host);
        case FetchFailureKind::Timeout:
            return "Zeit\xC3\xBC"
                   "berschreitung.";
        case FetchFailureKind::Broken:
            return "Die \xC3\x9C"
                   "bertragung ist abgebrochen oder fehlerhaft.";
        case FetchFailureKind::Certificate:
            return CertificateProblemText(
                {failure.host, std::string(CertificateReason(failure.certificateFault))});
        case FetchFailureKind::TlsFailed:
            return NamingHost("TLS-Verbindung fehlgeschlagen", failure.host);
        case FetchFailureKind::LoginRequired:
            return failure.requester == AuthRequester::Proxy
                       ? "Der Proxy verlangt eine Anmeldung."
                       : "Der Server verlangt eine Anmeldung.";
        case FetchFailureKind::LoginElsewhere:
            return "Weiterleitung abgelehnt: " + failure.host +
                   " verlangt eine Anmeldung, Zugangsdaten gehen nur an " + failure.namedOrigin +
                   ".";
        case FetchFailureKind::TooManyRedirects:
            return "Zu viele Weiterleitungen.";
        case FetchFailureKind::RedirectRefused:
            return "Weiterleitung abgelehnt: das Ziel ist keine g\xC3\xBCltige http- oder "
                   "https-Adresse.";
        case FetchFailureKind::TooLarge:
            return "Die Seite ist gr\xC3\xB6\xC3\x9F"
                   "er als " +
                   std::to_string(failure.bodyCap) + " Bytes.";
        case FetchFailureKind::NotWritten:
            return failure.errorNumber != 0 ? WriteFailureReason(failure.errorNumber)
                                            : "Die Seite konnte nicht gespeichert werden.";
        case FetchFailureKind::Empty:
            return "Die Seite ist leer.";
        case FetchFailureKind::Other:
            break;
    }
    return NamingHost(
        "\xC3\x9C"
        "bertragungsfehler",
        failure.detail);
}

}  // namespace tandemix
