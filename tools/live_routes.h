// The live page's routes: the page itself and its JSON and PNG endpoints
// (docs/renderer.md lists them).
#pragma once

#include <httplib.h>

#include <atomic>

#include "tools/live_session.h"

namespace lumeshade::tools {

// Requests beyond a few at once (counted in `active`) are refused with 429.
void AddLiveRoutes(httplib::Server& server, LiveSession& session, std::atomic<int>& active);

}  // namespace lumeshade::tools
