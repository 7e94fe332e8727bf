#include "tools/live_routes.h"

#include <atomic>
#include <string_view>

#include "tools/control_guide.h"
#include "tools/input_error.h"
#include "tools/json_read.h"
#include "tools/live_paths.h"

namespace lumeshade::tools {

// The page's files, embedded at build time from tools/page/.
extern const std::string_view kLivePageHtml;
extern const std::string_view kLivePageCss;
extern const std::string_view kLivePageJs;

namespace {

constexpr int kMaxDownsample = 64;
constexpr int kMaxPixel = 30000;
constexpr int kMaxFrame = 999999;
constexpr std::size_t kMaxListedFiles = 500;
constexpr int kMaxActiveRequests = 8;

void SendJson(httplib::Response& res, int status, const Json& body) {
    res.status = status;
    res.set_content(ResponseText(body), "application/json");
}

void SendError(httplib::Response& res, int status, const std::string& message) {
    SendJson(res, status, Json{{"error", message}});
}

// A failed answer of the module's runs: bad input is the request's fault
// (400), a superseded render is a conflict with a newer one (409), and a
// failing module is the server's (500), with its code and message.
bool SendFailure(httplib::Response& res, const ModuleAnswer& answer) {
    switch (answer.status) {
        case ModuleAnswer::Status::kOk:
            return false;
        case ModuleAnswer::Status::kBadInput:
            SendError(res, 400, answer.message);
            return true;
        case ModuleAnswer::Status::kSuperseded:
            SendError(res, 409, "superseded by a newer render");
            return true;
        case ModuleAnswer::Status::kModuleFailed:
            SendJson(res, 500, Json{{"error", answer.message}, {"module", true}});
            return true;
    }
    return false;
}

// A whole-number query parameter, checked as a scene's numbers are.
int QueryNumber(const httplib::Request& req, const char* name, int lo, int hi, int fallback) {
    if (!req.has_param(name)) return fallback;
    const std::string text = req.get_param_value(name);
    const Location where{"the page", name};
    Json value;
    try {
        value = Json::parse(text);
    } catch (const Json::exception&) {
        Fail(where, "expected a whole number from " + std::to_string(lo) + " to " +
                        std::to_string(hi) + ", got \"" + text + "\"");
    }
    return ReadWholeNumber(value, where, lo, hi);
}

// The "path" of a JSON request body.
std::string BodyPath(const httplib::Request& req) {
    const Json body = ParseJson(req.body, "the page");
    CheckObject(body, {"the page", ""}, {"path"});
    if (!body.contains("path")) Fail({"the page", ""}, "expected {\"path\": ...}");
    return ReadString(body["path"], {"the page", "path"});
}

// Counts the requests being handled while it lives.
struct ActiveRequest {
    explicit ActiveRequest(std::atomic<int>& active) : active(active) { ++active; }
    ~ActiveRequest() { --active; }
    std::atomic<int>& active;
};

// Runs a route unless too many requests are being handled (429); an
// InputError from the request's parts becomes a 400.
template <class Route>
httplib::Server::Handler Checked(std::atomic<int>& active, Route route) {
    return [&active, route](const httplib::Request& req, httplib::Response& res) {
        const ActiveRequest counted(active);
        if (active.load() > kMaxActiveRequests) {
            SendError(res, 429, "too many requests at once");
            return;
        }
        try {
            route(req, res);
        } catch (const InputError& e) {
            SendError(res, 400, e.what());
        }
    };
}

void AddPageFiles(httplib::Server& server) {
    const auto file = [&server](const char* path, std::string_view text, const char* type) {
        server.Get(path, [text, type](const httplib::Request&, httplib::Response& res) {
            res.set_content(text.data(), text.size(), type);
        });
    };
    file("/", kLivePageHtml, "text/html; charset=utf-8");
    file("/page.css", kLivePageCss, "text/css; charset=utf-8");
    file("/page.js", kLivePageJs, "text/javascript; charset=utf-8");
}

}  // namespace

std::string ResponseText(const Json& body) {
    return body.dump(-1, ' ', false, Json::error_handler_t::replace);
}

void AddLiveRoutes(httplib::Server& server, LiveSession& session, std::atomic<int>& active) {
    AddPageFiles(server);
    server.Get("/api/scene",
               Checked(active, [&session](const httplib::Request&, httplib::Response& res) {
                   SendJson(res, 200, session.SceneJson());
               }));
    server.Put("/api/scene",
               Checked(active, [&session](const httplib::Request& req, httplib::Response& res) {
                   Json kept;
                   const ModuleAnswer answer = session.ReplaceScene(req.body, kept);
                   if (!SendFailure(res, answer)) SendJson(res, 200, kept);
               }));
    server.Get("/api/controls",
               Checked(active, [&session](const httplib::Request& req, httplib::Response& res) {
                   const ModuleAnswer answer =
                       session.Controls(QueryNumber(req, "frame", 0, kMaxFrame, 0));
                   if (!SendFailure(res, answer)) SendJson(res, 200, Json::parse(answer.out));
               }));
    server.Get("/api/help", Checked(active, [](const httplib::Request&, httplib::Response& res) {
                   static const Json help = ControlHelp(kControlGuide);
                   SendJson(res, 200, help);
               }));
    server.Get("/api/render",
               Checked(active, [&session](const httplib::Request& req, httplib::Response& res) {
                   const int frame = QueryNumber(req, "frame", 0, kMaxFrame, 0);
                   const int downsample = QueryNumber(req, "downsample", 1, kMaxDownsample, 1);
                   const ModuleAnswer answer = session.Render(frame, downsample);
                   if (SendFailure(res, answer)) return;
                   res.set_header("X-Render-Milliseconds", std::to_string(answer.milliseconds));
                   res.set_header("Cache-Control", "no-store");
                   res.set_content(answer.image, "image/png");
               }));
    server.Get("/api/probe",
               Checked(active, [&session](const httplib::Request& req, httplib::Response& res) {
                   const ModuleAnswer answer =
                       session.Probe(QueryNumber(req, "frame", 0, kMaxFrame, 0),
                                     QueryNumber(req, "downsample", 1, kMaxDownsample, 1),
                                     QueryNumber(req, "x", 0, kMaxPixel, 0),
                                     QueryNumber(req, "y", 0, kMaxPixel, 0));
                   if (!SendFailure(res, answer)) SendJson(res, 200, Json::parse(answer.out));
               }));
    server.Get("/api/files",
               Checked(active, [&session](const httplib::Request&, httplib::Response& res) {
                   Json folders = Json::array();
                   for (const auto& folder : session.ReadFolders()) {
                       folders.push_back({{"folder", folder.string()},
                                          {"files", ImageFilesUnder(folder, kMaxListedFiles)}});
                   }
                   SendJson(res, 200, folders);
               }));
    server.Post("/api/save",
                Checked(active, [&session](const httplib::Request& req, httplib::Response& res) {
                    const std::string path = BodyPath(req);
                    const ModuleAnswer answer = session.Save(path);
                    if (!SendFailure(res, answer)) SendJson(res, 200, Json{{"path", path}});
                }));
    server.Post("/api/render-file",
                Checked(active, [&session](const httplib::Request& req, httplib::Response& res) {
                    const ModuleAnswer answer = session.StartFileRender(BodyPath(req));
                    if (!SendFailure(res, answer)) SendJson(res, 202, Json{{"started", true}});
                }));
    server.Get("/api/render-file",
               Checked(active, [&session](const httplib::Request&, httplib::Response& res) {
                   const FileRenderProgress p = session.FileProgress();
                   SendJson(res, 200,
                            Json{{"running", p.running},
                                 {"done", p.done},
                                 {"total", p.total},
                                 {"path", p.path},
                                 {"error", p.error},
                                 {"cancelled", p.cancelled}});
               }));
    server.Delete("/api/render-file",
                  Checked(active, [&session](const httplib::Request&, httplib::Response& res) {
                      const ModuleAnswer answer = session.CancelFileRender();
                      if (!SendFailure(res, answer)) SendJson(res, 202, Json{{"cancelling", true}});
                  }));
}

}  // namespace lumeshade::tools
