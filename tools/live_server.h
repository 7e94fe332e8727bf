// lumeshade-render --serve: the live page over HTTP (docs/renderer.md).
#pragma once

#include <memory>
#include <ostream>
#include <string>

#include "tools/run_options.h"

namespace lumeshade::tools {

class LiveSession;

// The page's server. Requests that are malformed or hostile (a bad body, a
// path out of the page's folders, an unknown page, a body over the limit,
// too many at once) are answered with a 4xx and a one-line message; none
// stops the server or changes its state.
class LiveServer {
public:
    // Fails with an InputError when the scene or the folders of `options`
    // are unusable.
    explicit LiveServer(const RunOptions& options);
    ~LiveServer();
    LiveServer(const LiveServer&) = delete;
    LiveServer& operator=(const LiveServer&) = delete;

    // Binds to `address` and `port` (0: a free one) and returns the port;
    // fails with an InputError.
    int Bind(const std::string& address, int port);
    // Answers requests until Stop is called (from another thread).
    void Listen();
    void Stop();

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

// Serves until interrupted (SIGINT, SIGTERM); returns the exit status.
int Serve(const RunOptions& options, std::ostream& out, std::ostream& err);

}  // namespace lumeshade::tools
