#include "support/TestCertificates.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <vector>

#include "support/ChildProcess.h"

namespace tandemix::testing {
namespace {

// P-256 keys take milliseconds where RSA keys take a noticeable part of a second.
const std::vector<std::string> kNewKey = {"-newkey", "ec", "-pkeyopt",
                                          "ec_paramgen_curve:prime256v1", "-nodes"};

constexpr const char* kLongAgo = "20200101000000Z";
constexpr const char* kShortlyAfter = "20200201000000Z";
constexpr const char* kFarAhead = "20980101000000Z";
constexpr const char* kEndOfTests = "20991231000000Z";

bool Run(std::vector<std::string> arguments, const std::vector<std::string>& more = {}) {
    arguments.insert(arguments.begin(), TANDEMIX_TEST_OPENSSL);
    arguments.insert(arguments.end(), more.begin(), more.end());
    return RunProgram(arguments) == 0;
}

// How each certificate is made, in the order of Certificate: its file name, the name it is
// for, its issuer (itself when empty) and when it is valid.
struct Making {
    const char* name;
    const char* subjectAltName;
    const char* issuer;
    const char* start;
    const char* end;
};
constexpr const char* kIp = "IP:127.0.0.1";
constexpr Making kMakings[] = {
    {"trusted", kIp, "ca", kLongAgo, kEndOfTests},
    {"other-name", "DNS:other.example", "ca", kLongAgo, kEndOfTests},
    {"expired", kIp, "ca", kLongAgo, kShortlyAfter},
    {"not-yet-valid", kIp, "ca", kFarAhead, kEndOfTests},
    {"unknown-issuer", kIp, "stranger-ca", kLongAgo, kEndOfTests},
    {"unknown-issuer-expired", kIp, "stranger-ca", kLongAgo, kShortlyAfter},
    {"self-signed", kIp, "", kLongAgo, kEndOfTests},
};

}  // namespace

TestCertificates::TestCertificates(std::string folder) : folder_(std::move(folder)) {
    // "openssl ca" is the one 3.0 command that sets both validity dates freely.
    std::ofstream(folder_ + "/ca.cnf") << "[ca]\ndefault_ca = test_ca\n"
                                       << "[test_ca]\ndatabase = " << folder_ << "/index.txt\n"
                                       << "serial = " << folder_ << "/serial\n"
                                       << "new_certs_dir = " << folder_ << "\n"
                                       << "default_md = sha256\npolicy = any_name\n"
                                       << "unique_subject = no\n"
                                       << "[any_name]\ncommonName = supplied\n";
    std::ofstream(folder_ + "/index.txt");
    std::ofstream(folder_ + "/serial") << "1000\n";

    ready_ = MakeAuthority("ca") && MakeAuthority("stranger-ca") &&
             std::all_of(std::begin(kMakings), std::end(kMakings), [&](const Making& m) {
                 return MakeServer(m.name, m.subjectAltName, m.issuer, m.start, m.end);
             });
}

TlsIdentity TestCertificates::Identity(Certificate certificate) const {
    const std::string base = folder_ + "/" + kMakings[static_cast<int>(certificate)].name;
    return {base + ".pem", base + ".key"};
}

bool TestCertificates::MakeAuthority(const std::string& name) const {
    const std::string base = folder_ + "/" + name;
    return Run(
        {"req", "-x509", "-days", "30", "-subj", "/CN=Tandemix test " + name, "-keyout",
         base + ".key", "-out", base + ".pem", "-addext", "basicConstraints=critical,CA:TRUE",
         "-addext", "keyUsage=critical,keyCertSign,cRLSign"},
        kNewKey);
}

// An empty issuer makes the certificate sign itself.
bool TestCertificates::MakeServer(const std::string& name, const std::string& subjectAltName,
                                  const std::string& issuer, const std::string& start,
                                  const std::string& end) const {
    const std::string base = folder_ + "/" + name;
    std::ofstream(base + ".ext") << "subjectAltName=" << subjectAltName
                                 << "\nbasicConstraints=CA:FALSE\n";
    if (!Run({"req", "-new", "-subj", "/CN=" + subjectAltName.substr(subjectAltName.find(':') + 1),
              "-keyout", base + ".key", "-out", base + ".csr"},
             kNewKey)) {
        return false;
    }
    std::vector<std::string> sign = {
        "ca",  "-batch",      "-notext", "-config",     folder_ + "/ca.cnf",
        "-in", base + ".csr", "-out",    base + ".pem", "-startdate",
        start, "-enddate",    end,       "-extfile",    base + ".ext"};
    if (issuer.empty()) {
        sign.insert(sign.end(), {"-selfsign", "-keyfile", base + ".key"});
    } else {
        const std::string issuerBase = folder_ + "/" + issuer;
        sign.insert(sign.end(), {"-cert", issuerBase + ".pem", "-keyfile", issuerBase + ".key"});
    }
    return Run(sign);
}

}  // namespace tandemix::testing
