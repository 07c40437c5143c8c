#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/ChildProcess.h"

namespace tandemix::testing {

struct TlsIdentity {
    std::string certificate;
    std::string key;
};

struct Endpoint {
    int port = 0;  // 0: any free port
    std::optional<TlsIdentity> tls;
};

// Python's http.server on 127.0.0.1 (loopback_server.py), one listening socket per endpoint,
// with the test routes and the files of the root folder under /files/.
class LoopbackServer {
public:
    LoopbackServer(const std::string& root, std::vector<Endpoint> endpoints);

    // False when a port could not be bound or the server did not start.
    bool Ready() const { return ports_.size() == endpoints_.size(); }
    int Port(std::size_t endpoint = 0) const { return ports_.at(endpoint); }
    // "http://127.0.0.1:PORT" followed by the path; https for an endpoint with TLS.
    std::string Url(std::string_view path, std::size_t endpoint = 0) const;

private:
    std::vector<Endpoint> endpoints_;
    ChildProcess process_;
    std::vector<int> ports_;
};

}  // namespace tandemix::testing
