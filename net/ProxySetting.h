// Which proxy a request goes through. The HTTP client decides it itself, so that a failing
// proxy can be named in the message, and so that Windows users behind a company proxy
// reach the web the way their browser does.
#pragma once

#include <string>
#include <string_view>

namespace orvenna {

// The proxy for `url`, or empty to go straight to the server. First the environment, as
// libcurl reads it (http_proxy for http; https_proxy or HTTPS_PROXY for https; then
// all_proxy or ALL_PROXY; no_proxy or NO_PROXY names hosts that go straight); then, on
// Windows, the user's Internet settings (a fixed proxy and its bypass list, or what an
// automatic configuration gives for this address).
std::string proxyFor(const std::string& url);

}  // namespace orvenna
