#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "support/LoopbackServer.h"
#include "support/TestCertificates.h"
#include "support/WebFetching.h"
#include "web/PageFetcher.h"

namespace tandemix {
namespace {

using testing::Certificate;
using testing::Endpoint;
using testing::LoopbackServer;
using testing::TestCertificates;

constexpr Certificate kServed[] = {
    Certificate::Trusted,     Certificate::OtherName,     Certificate::Expired,
    Certificate::NotYetValid, Certificate::UnknownIssuer, Certificate::UnknownIssuerExpired,
    Certificate::SelfSigned,
};

class TlsFetchTest : public testing::WebTest {
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
        return testing::DownloadToText(address, settings_, prompt_).page;
    }

    TestCertificates certificates_{root_.Path()};
    LoopbackServer server_{root_.Path(), Endpoints()};
};

struct CertificateCase {
    Certificate certificate;
    std::optional<std::string_view> reason;  // named under the full check; none: no question
    bool acceptedWhenLenient;
};

const CertificateCase kCertificateCases[] = {
    {Certificate::Trusted, std::nullopt, true},
    {Certificate::OtherName, certificate_reasons::kOtherName, true},
    {Certificate::Expired, certificate_reasons::kExpired, true},
    {Certificate::NotYetValid, certificate_reasons::kNotYetValid, true},
    {Certificate::UnknownIssuer, std::nullopt, false},
    {Certificate::UnknownIssuerExpired, std::nullopt, false},
    {Certificate::SelfSigned, std::nullopt, false},
};

// By default only a certificate valid in every respect passes; one that fails only for its
// name or dates is named as such, and passes when that is accepted. An unknown issuer never.
TEST_F(TlsFetchTest, FullCheckByDefaultNameAndDateErrorsOnlyWhenAccepted) {
    for (const CertificateCase& c : kCertificateCases) {
        const std::size_t endpoint = static_cast<std::size_t>(
            std::find(std::begin(kServed), std::end(kServed), c.certificate) - std::begin(kServed));
        SCOPED_TRACE(certificates_.Identity(c.certificate).certificate);

        settings_.certificateCheck = CertificateCheck::Full;
        const testing::Downloaded full =
            testing::DownloadToText(server_.Url("/echo", endpoint), settings_, prompt_);
        EXPECT_EQ(full.page.has_value(), c.certificate == Certificate::Trusted);
        ASSERT_EQ(full.result.certificateProblem.has_value(), c.reason.has_value());
        if (c.reason) {
            EXPECT_EQ(full.result.certificateProblem->host, "127.0.0.1");
            EXPECT_EQ(full.result.certificateProblem->reason, *c.reason);
        }

        settings_.certificateCheck = CertificateCheck::AcceptNameAndDateErrors;
        const testing::Downloaded lenient =
            testing::DownloadToText(server_.Url("/echo", endpoint), settings_, prompt_);
        EXPECT_EQ(lenient.page.has_value(), c.acceptedWhenLenient);
        EXPECT_FALSE(lenient.result.certificateProblem.has_value());
    }
}

TEST_F(TlsFetchTest, WithoutTheTestAuthorityNothingIsTrusted) {
    settings_.caBundlePath.clear();
    EXPECT_EQ(Fetch(server_.Url("/echo", 0)), std::nullopt);
}

TEST_F(TlsFetchTest, HttpAddressOnPort443IsFetchedOverTls) {
    const LoopbackServer onPort443(root_.Path(),
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
