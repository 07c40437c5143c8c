#pragma once

#include <string>
#include <string_view>

// Addresses of the product, its maker and its online help. They are placeholders on
// reserved example domains; the help host is a build setting (TANDEMIX_HELP_HOST).
namespace tandemix::app {

inline constexpr std::string_view kProductAddress = "http://www.tandemix.example.com/";
inline constexpr std::string_view kMakerAddress = "http://www.example.com/";
inline constexpr std::string_view kVersionText = "1.0";

// The help host as "http://" and a host name, without a trailing "/".
std::string HelpHost();
std::string StartPageAddress();
std::string HelpPageAddress();

}  // namespace tandemix::app
