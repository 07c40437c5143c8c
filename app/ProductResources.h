#pragma once

#include <string>
#include <string_view>

// What the program carries with it: the window's own texts (UTF-8), the addresses of the
// product, its maker and its online help, and the bundled help page, logo and icons. The
// addresses are placeholders on reserved example domains; the help host is a build setting
// (TANDEMIX_HELP_HOST).
namespace tandemix::app {

namespace messages {

inline constexpr std::string_view kBoxTitle = "Tandemix";
inline constexpr std::string_view kWindowTitle =
    "Tandemix - Dateien, Verzeichnisse und Internet-Seiten vergleichen";
inline constexpr std::string_view kAboutTitle =
    "Info \xC3\xBC"
    "ber Tandemix";
inline constexpr std::string_view kViewerTitle = "Tandemix Ergebnisse";
inline constexpr std::string_view kCompareOutOfMemory =
    "Nicht gen\xC3\xBCgend Arbeitsspeicher.\nDer Vergleich wurde abgebrochen.";
inline constexpr std::string_view kCompareFailed =
    "Der Vergleich wurde wegen eines Fehlers abgebrochen:\n";

}  // namespace messages

inline constexpr std::string_view kProductAddress = "http://www.tandemix.example.com/";
inline constexpr std::string_view kMakerAddress = "http://www.example.com/";
inline constexpr std::string_view kVersionText = "1.0";

// The help host as "http://" and a host name, without a trailing "/".
std::string HelpHost();
std::string StartPageAddress();
std::string HelpPageAddress();

// Registers the bundled help page, the logo and the icons. The library is static, so the
// linker would otherwise drop their registration; safe to call more than once.
void LoadResources();

}  // namespace tandemix::app
