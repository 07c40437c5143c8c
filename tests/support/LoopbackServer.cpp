#include "support/LoopbackServer.h"

#include <sstream>

namespace tandemix::testing {
namespace {

std::vector<std::string> Command(const std::string& root, const std::vector<Endpoint>& endpoints) {
    std::vector<std::string> command = {TANDEMIX_TEST_PYTHON, TANDEMIX_LOOPBACK_SERVER, root};
    for (const Endpoint& endpoint : endpoints) {
        std::string endpointArgument = std::to_string(endpoint.port);
        if (endpoint.tls) {
            endpointArgument += "," + endpoint.tls->certificate + "," + endpoint.tls->key;
        }
        command.push_back(endpointArgument);
    }
    return command;
}

}  // namespace

LoopbackServer::LoopbackServer(const std::string& root, std::vector<Endpoint> endpoints)
    : endpoints_(std::move(endpoints)), process_(Command(root, endpoints_)) {
    const std::optional<std::string> line = process_.ReadLine(std::chrono::seconds(20));
    if (!line || !line->starts_with("ports ")) {
        return;
    }
    std::istringstream ports(line->substr(6));
    for (int port = 0; ports >> port;) {
        ports_.push_back(port);
    }
}

std::string LoopbackServer::Url(std::string_view path, std::size_t endpoint) const {
    const char* scheme = endpoints_.at(endpoint).tls ? "https" : "http";
    return std::string(scheme) + "://127.0.0.1:" + std::to_string(Port(endpoint)) +
           std::string(path);
}

}  // namespace tandemix::testing
