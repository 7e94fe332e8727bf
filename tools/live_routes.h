// The live page's routes: the page itself and its JSON and PNG endpoints
// (docs/renderer.md lists them).
#pragma once

#include <httplib.h>

#include <atomic>

#include "tools/json_read.h"
#include "tools/live_session.h"

namespace lumeshade::tools {

// A JSON answer's text. Text that is not UTF-8 (a request's path may hold
// any bytes) is replaced, never thrown over.
std::string ResponseText(const Json& body);

// Requests beyond a few at once (counted in `active`) are refused with 429.
void AddLiveRoutes(httplib::Server& server, LiveSession& session, std::atomic<int>& active);

}  // namespace lumeshade::tools
