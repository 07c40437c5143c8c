#include "base/FailureReason.h"

#include <cerrno>
#include <system_error>

namespace tandemix {
namespace {

// The system's own words for everything without a sentence of ours.
std::string SystemText(int errorNumber) {
    return std::generic_category().message(errorNumber) + ".";
}

}  // namespace

std::string WriteFailureReason(int errorNumber) {
    switch (errorNumber) {
        case ENOENT:
            return "Das Ausgabeverzeichnis existiert nicht.";
        case ENOTDIR:
            return "Das Ausgabeverzeichnis ist kein Verzeichnis.";
        case ENOSPC:
        case EDQUOT:
            return "Der Datentr\xC3\xA4ger ist voll.";
        case EACCES:
        case EPERM:
            return "Der Zugriff wurde verweigert.";
        case EROFS:
            return "Der Datentr\xC3\xA4ger ist schreibgesch\xC3\xBCtzt.";
        default:
            return SystemText(errorNumber);
    }
}

std::string ReadFailureReason(int errorNumber) {
    switch (errorNumber) {
        case EACCES:
        case EPERM:
            return "Der Zugriff wurde verweigert.";
        case ENOENT:
            return "Die Datei existiert nicht mehr.";
        default:
            return SystemText(errorNumber);
    }
}

std::string LookupFailureReason(int errorNumber) {
    switch (errorNumber) {
        case ENOENT:
            return "Der Pfad existiert nicht.";
        case ENOTDIR:
            return "Ein Teil des Pfades ist kein Verzeichnis.";
        case EACCES:
        case EPERM:
            return "Der Zugriff wurde verweigert.";
        default:
            return SystemText(errorNumber);
    }
}

}  // namespace tandemix
