// Asking a real server on 127.0.0.1 for the update index and its signature.
#include "update/UpdateIndexFetch.h"

#include <gtest/gtest.h>

#include "LocalHttpServer.h"

namespace orvenna {
namespace {

constexpr char IndexPath[] = "/update/tarv/index.json";
constexpr char SignaturePath[] = "/update/tarv/index.json.minisig";

TEST(UpdateIndexFetchTest, TheIndexComesWholeWithItsSignatureOrNotAtAll) {
    EXPECT_EQ(updateIndexUrl("https://update.example/"), "https://update.example/update/tarv/index.json");
    EXPECT_EQ(updateIndexUrl("https://update.example/a//"), "https://update.example/a/update/tarv/index.json");

    LocalHttpServer server;
    const struct Case {
        const char* name;
        LocalHttpServer::Reply index, signature;
        int status;  // of the Error; 0: the index came
        std::string json, signed_;
    } cases[] = {
        {"both", {.body = "{}"}, {.body = "sig"}, 0, "{}", "sig"},
        // The decision says why an index without a signature offers nothing.
        {"no signature", {.body = "{}"}, {.status = 404, .body = "gone"}, 0, "{}", ""},
        {"signature too large", {.body = "{}"}, {.body = std::string(UpdateSignatureMaxBytes + 1, 's')}, 0, "{}", ""},
        {"no index", {.status = 404, .body = "{}"}, {.body = "sig"}, 404, "", ""},
        {"index too large", {.body = std::string(UpdateIndexMaxBytes + 1, ' ')}, {.body = "sig"}, -1, "", ""},
    };
    for (const Case& test : cases) {
        server.route(IndexPath, test.index);
        server.route(SignaturePath, test.signature);
        const Result<SignedIndexText> fetched = fetchUpdateIndex(server.url("/"), [] { return false; });
        if (test.status == 0) {
            ASSERT_TRUE(fetched) << test.name << ": " << fetched.error().message;
            EXPECT_EQ(fetched->json, test.json) << test.name;
            EXPECT_EQ(fetched->signature, test.signed_) << test.name;
            continue;
        }
        ASSERT_FALSE(fetched) << test.name;
        if (test.status > 0) {
            EXPECT_EQ(fetched.error().source, ErrorSource::HttpStatus) << test.name;
            EXPECT_EQ(fetched.error().code, test.status) << test.name;
        } else {
            EXPECT_NE(fetched.error().source, ErrorSource::HttpStatus) << test.name;
        }
    }
    // Cancelled before it starts: no index, and the server is not asked for the signature.
    server.route(IndexPath, {.body = "{}"});
    const int asked = server.requests(SignaturePath);
    EXPECT_FALSE(fetchUpdateIndex(server.url(""), [] { return true; }));
    EXPECT_EQ(server.requests(SignaturePath), asked);
}

}  // namespace
}  // namespace orvenna
