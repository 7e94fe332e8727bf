#include "tools/live_server.h"

#include <httplib.h>
#include <pthread.h>

#include <atomic>
#include <csignal>
#include <thread>

#include "tools/input_error.h"
#include "tools/json_read.h"
#include "tools/live_routes.h"
#include "tools/live_session.h"

namespace lumeshade::tools {
namespace {

// A scene is a few kilobytes; a megabyte leaves room and refuses floods.
constexpr std::size_t kMaxBodyBytes = 1 << 20;
// The library's threads: more than the requests handled at once (the routes
// refuse the rest with 429), so that the refusals are still answered.
constexpr std::size_t kServerThreads = 12;

}  // namespace

struct LiveServer::Parts {
    explicit Parts(const RunOptions& options) : session(options) {}
    LiveSession session;
    httplib::Server server;
    std::atomic<int> active{0};
};

LiveServer::LiveServer(const RunOptions& options) : parts_(std::make_unique<Parts>(options)) {
    httplib::Server& server = parts_->server;
    server.new_task_queue = [] { return new httplib::ThreadPool(kServerThreads); };
    server.set_payload_max_length(kMaxBodyBytes);
    server.set_keep_alive_timeout(2);
    server.set_error_handler([](const httplib::Request& req, httplib::Response& res) {
        if (!res.body.empty()) return;
        const std::string message =
            res.status == 404 ? "no such page: " + req.path
            : res.status == 413
                ? "the request is larger than " + std::to_string(kMaxBodyBytes >> 20) + " MiB"
                : "the request was refused (HTTP " + std::to_string(res.status) + ")";
        res.set_content(ResponseText(Json{{"error", message}}), "application/json");
    });
    server.set_exception_handler(
        [](const httplib::Request&, httplib::Response& res, std::exception_ptr error) {
            std::string message = "internal error";
            try {
                std::rethrow_exception(error);
            } catch (const std::exception& e) {
                message += std::string(": ") + e.what();
            } catch (...) {
            }
            res.status = 500;
            res.set_content(ResponseText(Json{{"error", message}}), "application/json");
        });
    AddLiveRoutes(server, parts_->session, parts_->active);
}

LiveServer::~LiveServer() = default;

int LiveServer::Bind(const std::string& address, int port) {
    httplib::Server& server = parts_->server;
    const int bound = port == 0                            ? server.bind_to_any_port(address)
                      : server.bind_to_port(address, port) ? port
                                                           : -1;
    if (bound < 0) {
        Fail({"--serve", ""}, "cannot listen on " + address + " port " + std::to_string(port));
    }
    return bound;
}

void LiveServer::Listen() { parts_->server.listen_after_bind(); }

void LiveServer::Stop() { parts_->server.stop(); }

int Serve(const RunOptions& options, std::ostream& out, std::ostream& err) {
    // Interrupts are taken by a thread of their own, which stops the server
    // so that it ends as after any request: its working folder removed.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    try {
        LiveServer server(options);
        const int port = server.Bind(options.bind, options.port);
        out << "lumeshade-render: the live page is at http://" << options.bind << ":" << port
            << "/ (Ctrl-C stops it)" << std::endl;
        std::thread stopper([&server, signals] {
            int signal = 0;
            sigwait(&signals, &signal);
            server.Stop();
        });
        server.Listen();
        pthread_kill(stopper.native_handle(), SIGTERM);
        stopper.join();
    } catch (const InputError& e) {
        err << "lumeshade-render: error: " << e.what() << '\n';
        return kExitBadInput;
    } catch (const std::exception& e) {
        err << "lumeshade-render: internal error: " << e.what() << '\n';
        return kExitRenderFailed;
    }
    return kExitOk;
}

}  // namespace lumeshade::tools
