#include <gtest/gtest.h>

#include <map>

#include "LoopbackServer.h"
#include "TestCertificates.h"
#include "WebTestSupport.h"
#include "support/TempDir.h"
#include "web/PageFetcher.h"

namespace tandemix {
namespace {

using testing::Certificate;
using testing::Endpoint;
using testing::LoopbackServer;
using testing::ProxyEnvironment;
using testing::RecordingPrompt;
using testing::TempDir;
using testing::TestCertificates;

constexpr Certificate kServed[] = {
    Certificate::Trusted,     Certificate::OtherName,     Certificate::Expired,
    Certificate::NotYetValid, Certificate::UnknownIssuer, Certificate::UnknownIssuerExpired,
    Certificate::SelfSigned,
};

class TlsFetchTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(certificates_.Ready()) << "openssl could not make the test certificates";
        ASSERT_TRUE(server_.Ready()) << "the loopback servers did not start";
        settings_.caBundlePath = certificates_.CaBundle();
    }

    // One HTTPS endpoint per certificate, in the order of kServed, then a plain one.
    std::vector<Endpoint> Endpoints() const {
        std::vector<Endpoint> endpoints;
        for (const Certificate certificate : kServed) {
            endpoints.push_back({0, certificates_.Identity(certificate)});
        }
        endpoints.push_back({});
        return endpoints;
    }
    static constexpr std::size_t kPlain = std::size(kServed);

    std::optional<std::string> Fetch(const std::string& address) {
        std::string content;
        DownloadPage(address, settings_, prompt_, content);
        return content.empty() ? std::nullopt : std::optional(content);
    }

    ProxyEnvironment environment_;
    TempDir folder_;
    TestCertificates certificates_{folder_.Path()};
    LoopbackServer server_{folder_.Path(), Endpoints()};
    FetchSettings settings_ = testing::QuickSettings();
    RecordingPrompt prompt_;
};

TEST_F(TlsFetchTest, NameAndDateErrorsAreForgivenAnUnknownIssuerIsNot) {
    const std::map<Certificate, bool> accepted = {
        {Certificate::Trusted, true},        {Certificate::OtherName, true},
        {Certificate::Expired, true},        {Certificate::NotYetValid, true},
        {Certificate::UnknownIssuer, false}, {Certificate::UnknownIssuerExpired, false},
        {Certificate::SelfSigned, false},
    };
    for (std::size_t i = 0; i < std::size(kServed); ++i) {
        SCOPED_TRACE(certificates_.Identity(kServed[i]).certificate);
        const std::optional<std::string> page = Fetch(server_.Url("/echo", i));
        EXPECT_EQ(page.has_value(), accepted.at(kServed[i]));
    }
}

TEST_F(TlsFetchTest, WithoutTheTestAuthorityNothingIsTrusted) {
    settings_.caBundlePath.clear();
    EXPECT_EQ(Fetch(server_.Url("/echo", 0)), std::nullopt);
}

TEST_F(TlsFetchTest, HttpAddressOnPort443IsFetchedOverTls) {
    const LoopbackServer onPort443(folder_.Path(),
                                   {{443, certificates_.Identity(Certificate::Trusted)}});
    if (!onPort443.Ready()) {
        GTEST_SKIP() << "port 443 of 127.0.0.1 cannot be bound here";
    }
    EXPECT_EQ(Fetch("http://127.0.0.1:443/echo").value_or("").substr(0, 11), "path=/echo\n");
}

TEST_F(TlsFetchTest, ProxyTunnelThatWantsCredentialsIsAskedForThemOnce) {
    environment_.UseProxy(server_.Url("", kPlain));
    prompt_.answer = Credentials{"tandem", "s3cret"};
    EXPECT_EQ(Fetch(server_.Url("/echo", 0)).value_or("").substr(0, 11), "path=/echo\n");
    ASSERT_EQ(prompt_.asked.size(), 1u);
    EXPECT_EQ(prompt_.asked[0].second, AuthRequester::Proxy);
}

}  // namespace
}  // namespace tandemix
