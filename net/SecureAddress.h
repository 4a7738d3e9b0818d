// Which addresses an update may come from: what the program downloads and then runs must
// travel over https, so that no one on the way can change it.
#pragma once

#include <string>

namespace orvenna {

// True for an https address, and for plain http to a loopback host (127.0.0.0/8, ::1,
// localhost: a local mirror or a test server, where nothing is on the way). The host is
// read as libcurl reads it, so that no spelling means one thing here and another there.
bool isSecureAddress(const std::string& url);

// True for plain http to a loopback host, as isSecureAddress reads it: such a request must
// reach this machine directly, never a proxy that could answer in its place.
bool isLoopbackHttpAddress(const std::string& url);

}  // namespace orvenna
