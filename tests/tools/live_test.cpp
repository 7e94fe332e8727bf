// The live page's server through the HTTP library's client: every endpoint,
// the folder rules, hostile requests and latest-wins rendering.
#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <future>
#include <thread>

#include "tool_test_support.h"
#include "tools/driver.h"
#include "tools/json_read.h"
#include "tools/live_server.h"

namespace lumeshade::tools {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;
using testing::WriteText;

constexpr const char* kScene = R"({
  "width": 48, "height": 32, "depth": 8,
  "layers": {"normals": {"generate": "sphere"}, "photo": "photo.png"},
  "input": "normals",
  "controls": {"specular_enable": true},
  "lights": [{"name": "Key", "type": "point", "position": [10, 8, -60]}]
})";

// A server on a free port of 127.0.0.1, answering on its own thread, with
// a scene folder (`scene.json`, `photo.png`), a second image folder and an
// output folder.
class Live {
public:
    explicit Live(const char* module = LUMESHADE_MODULE) {
        fs::create_directories(dir / "scene");
        fs::create_directories(dir / "more");
        fs::create_directories(dir / "out");
        WriteText(dir / "scene" / "scene.json", kScene);
        fs::copy_file(Png(), dir / "scene" / "photo.png");
        fs::copy_file(Png(), dir / "more" / "other.png");
        RunOptions options;
        options.scene = (dir / "scene" / "scene.json").string();
        options.module = module;
        options.threads = 1;
        options.folders = {(dir / "more").string()};
        options.outputFolder = (dir / "out").string();
        server = std::make_unique<LiveServer>(options);
        port = server->Bind("127.0.0.1", 0);
        thread = std::thread([this] { server->Listen(); });
    }
    ~Live() {
        server->Stop();
        thread.join();
    }
    httplib::Client Client() const {
        httplib::Client client("127.0.0.1", port);
        client.set_read_timeout(30);
        return client;
    }
    Json Get(const std::string& path, int status = 200) const {
        const auto res = Client().Get(path);
        EXPECT_TRUE(res) << path;
        if (!res) return {};
        EXPECT_EQ(res->status, status) << path << ": " << res->body;
        return Json::parse(res->body);
    }
    // The answer's status and its error message ("" when none).
    std::pair<int, std::string> Send(const std::string& method, const std::string& path,
                                     const std::string& body) const {
        auto client = Client();
        const auto res = method == "PUT"      ? client.Put(path, body, "application/json")
                         : method == "DELETE" ? client.Delete(path)
                                              : client.Post(path, body, "application/json");
        if (!res) return {0, "no answer"};
        const Json answer = Json::parse(res->body, nullptr, false);
        const bool error = answer.is_object() && answer.contains("error");
        return {res->status, error ? answer["error"].get<std::string>() : ""};
    }
    std::pair<int, std::string> PutScene(const Json& scene) const {
        return Send("PUT", "/api/scene", scene.dump());
    }

    TempDir dir;
    std::unique_ptr<LiveServer> server;
    int port = 0;
    std::thread thread;

private:
    // A small PNG made by the renderer itself.
    fs::path Png() {
        const fs::path png = dir / "made.png";
        if (!fs::exists(png)) {
            RunOptions options;
            options.output = png.string();
            options.module = LUMESHADE_MODULE;
            options.downsample = 16;
            std::ostringstream out, err;
            EXPECT_EQ(tools::Run(options, out, err), 0) << err.str();
        }
        return png;
    }
};

std::pair<int, std::string> Ok() { return {200, ""}; }

bool Visible(const Json& controls, const std::string& key) {
    for (const Json& c : controls)
        if (c["key"] == key) return c["visible"].get<bool>();
    ADD_FAILURE() << "no control " << key;
    return false;
}

TEST(LivePage, EndpointsShowEditSaveAndRenderTheScene) {
    const Live live;
    auto client = live.Client();
    for (const char* page : {"/", "/page.js", "/page.css"}) {
        const auto res = client.Get(page);
        ASSERT_TRUE(res);
        EXPECT_EQ(res->status, 200);
        EXPECT_GT(res->body.size(), 100u);
    }
    Json scene = live.Get("/api/scene");
    EXPECT_EQ(scene["layers"]["photo"], "photo.png");

    // The module's visibility rules, through the host: switching the group
    // off hides its controls.
    EXPECT_TRUE(Visible(live.Get("/api/controls"), "specular_spread"));
    scene["controls"]["specular_enable"] = false;
    EXPECT_EQ(live.PutScene(scene), Ok());
    EXPECT_FALSE(Visible(live.Get("/api/controls"), "specular_spread"));

    // An image of another folder named on the command line, kept relative
    // to the scene's folder.
    scene["layers"]["photo"] = "other.png";
    EXPECT_EQ(live.PutScene(scene), Ok());
    EXPECT_EQ(live.Get("/api/scene")["layers"]["photo"], "../more/other.png");
    const Json files = live.Get("/api/files");
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[1]["files"], Json::array({"other.png"}));

    // The page's image is what lumeshade-render makes of the saved scene.
    const auto full = client.Get("/api/render");
    ASSERT_TRUE(full);
    ASSERT_EQ(full->status, 200) << full->body;
    EXPECT_EQ(full->get_header_value("Content-Type"), "image/png");
    EXPECT_EQ(live.Send("POST", "/api/save", R"({"path": "saved.json"})").first, 200);
    RunOptions again;
    again.scene = (live.dir / "out" / "saved.json").string();
    again.output = (live.dir / "again.png").string();
    again.module = LUMESHADE_MODULE;
    std::ostringstream out, err;
    ASSERT_EQ(tools::Run(again, out, err), 0) << err.str();
    EXPECT_EQ(testing::ReadText(live.dir / "again.png"), full->body);

    const auto preview = client.Get("/api/render?downsample=4");
    ASSERT_TRUE(preview);
    EXPECT_EQ(preview->status, 200);
    EXPECT_LT(preview->body.size(), full->body.size());

    const Json probe = live.Get("/api/probe?x=10&y=8");
    EXPECT_EQ(probe["x"], 10);
    EXPECT_TRUE(probe["r"].is_number());

    // A render to a file, with its progress.
    EXPECT_EQ(live.Send("POST", "/api/render-file", R"({"path": "frame.png"})").first, 202);
    Json progress;
    for (int i = 0; i < 300; ++i) {
        progress = live.Get("/api/render-file");
        if (!progress["running"].get<bool>()) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_EQ(progress["done"], 1);
    EXPECT_EQ(progress["error"], "");
    EXPECT_FALSE(progress["cancelled"].get<bool>());
    EXPECT_EQ(testing::ReadText(live.dir / "out" / "frame.png"), full->body);

    // A long one cancelled stops after the frame it is writing; what it
    // wrote stays. With nothing running there is nothing to cancel.
    scene["frames"] = {{"start", 0}, {"end", 999}};
    ASSERT_EQ(live.PutScene(scene), Ok());
    EXPECT_EQ(live.Send("POST", "/api/render-file", R"({"path": "long_###.png"})").first, 202);
    EXPECT_EQ(live.Send("DELETE", "/api/render-file", "").first, 202);
    for (int i = 0; i < 300; ++i) {
        progress = live.Get("/api/render-file");
        if (!progress["running"].get<bool>()) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_TRUE(progress["cancelled"].get<bool>());
    EXPECT_LT(progress["done"].get<int>(), 1000);
    EXPECT_EQ(progress["error"], "");
    EXPECT_EQ(live.Send("DELETE", "/api/render-file", "").first, 400);
}

// Every control the page lists has its help from the control guide, in
// plain words and whole (an entry's lines joined).
TEST(LivePage, EveryControlHasItsHelpFromTheGuide) {
    Live live;
    const Json help = live.Get("/api/help");
    for (const Json& control : live.Get("/api/controls")) {
        const std::string type = control["type"];
        if (type == "group_start" || type == "group_end") continue;
        const std::string key = control["key"];
        ASSERT_TRUE(help.contains(key)) << key;
        const std::string text = help[key];
        EXPECT_FALSE(text.empty()) << key;
        EXPECT_EQ(text.find_first_of("`\n\\"), std::string::npos) << key << ": " << text;
        EXPECT_EQ(text.find("**"), std::string::npos) << key << ": " << text;
    }
    EXPECT_EQ(help["normals_invert_z"], "Z becomes 1 - Z.");
    const auto begins = [&help](const char* key, std::string_view start) {
        return std::string_view(help[key].get_ref<const std::string&>()).substr(0, start.size()) ==
               start;
    };
    EXPECT_TRUE(begins("normal_map",
                       "the layer that holds the normals. With none, the layer the effect is "
                       "applied to. It is stretched"));
    EXPECT_TRUE(begins("display", "chooses what the effect shows. It lies outside any group."));
}

TEST(LivePage, ReadsOnlyInItsFoldersAndWritesOnlyInTheOutputFolder) {
    const Live live;
    fs::create_symlink(live.dir / "made.png", live.dir / "scene" / "out.png");
    fs::create_directory_symlink(live.dir.Path(), live.dir / "out" / "up");
    const Json scene = live.Get("/api/scene");
    const std::pair<std::string, std::string> reads[] = {
        {"../made.png", "leads out of the page's folders (\"..\")"},
        {(live.dir / "made.png").string(), "is an absolute path"},
        {"out.png", "leads out of the page's folders (a link)"},
        {"missing.png", "does not exist in the page's folders"},
    };
    for (const auto& [path, message] : reads) {
        Json edit = scene;
        edit["layers"]["photo"] = path;
        const auto [status, error] = live.PutScene(edit);
        EXPECT_EQ(status, 400) << path;
        EXPECT_NE(error.find(message), std::string::npos) << error;
    }
    for (const std::string path : {"../x", "/tmp/x", "up/x", "none/x"}) {
        EXPECT_EQ(live.Send("POST", "/api/save", Json{{"path", path + ".json"}}.dump()).first, 400);
        EXPECT_EQ(live.Send("POST", "/api/render-file", Json{{"path", path + ".png"}}.dump()).first,
                  400);
    }
    EXPECT_EQ(live.Send("POST", "/api/save", R"({"path": "x.txt"})").first, 400);
    EXPECT_FALSE(fs::exists(live.dir / "x.json"));
    EXPECT_EQ(live.Get("/api/scene"), scene);
}

TEST(LivePage, HostileRequestsGetAMessageAndChangeNothing) {
    const Live live;
    const Json scene = live.Get("/api/scene");
    const auto with = [&scene](const char* patch) {
        Json edit = scene;
        edit.merge_patch(Json::parse(patch));
        return edit.dump();
    };
    const std::pair<std::string, std::string> bodies[] = {
        {"{\"width\": 12,", "the page: "},
        {with(R"({"controls": {"specular_sprad": 1}})"), "specular_spread"},
        {with(R"({"width": 1e300})"), "the page: width: "},
        {with(R"({"lights": [{"position": [1e39, 0, 0]}]})"), "lights[0].position"},
        {std::string(100, '[') + std::string(100, ']'), "nested more than"},
    };
    for (const auto& [body, message] : bodies) {
        const auto [status, error] = live.Send("PUT", "/api/scene", body);
        EXPECT_EQ(status, 400) << body;
        EXPECT_NE(error.find(message), std::string::npos) << error;
    }
    EXPECT_EQ(live.Send("PUT", "/api/scene", std::string(2 << 20, ' ')).first, 413);
    EXPECT_EQ(live.Send("POST", "/api/save", "{\"path\": 3}").first, 400);
    EXPECT_EQ(live.Send("POST", "/api/nothing", "{}").first, 404);
    live.Get("/%ff%00", 404);
    for (const char* query : {"/api/render?downsample=0", "/api/render?frame=x",
                              "/api/probe?x=1000", "/api/controls?frame=-1"}) {
        live.Get(query, 400);
    }
    EXPECT_EQ(live.Get("/api/scene"), scene);

    // Many at once (probes of a larger frame, which queue for the module):
    // some are turned away, every one is answered. Twice the server's
    // threads, and probes slow enough that more than the limit are handled
    // at once however the requests' threads are scheduled.
    Json larger = scene;
    larger["width"] = 768;
    larger["height"] = 768;
    ASSERT_EQ(live.PutScene(larger), Ok());
    std::vector<std::future<int>> many;
    for (int i = 0; i < 24; ++i) {
        many.push_back(std::async(std::launch::async, [&live] {
            const auto res = live.Client().Get("/api/probe?x=1&y=1");
            return res ? res->status : 0;
        }));
    }
    int refused = 0;
    for (auto& answer : many) {
        const int status = answer.get();
        EXPECT_TRUE(status == 200 || status == 429) << status;
        refused += status == 429;
    }
    EXPECT_GT(refused, 0);
    EXPECT_EQ(live.Get("/api/scene"), larger);
}

TEST(LivePage, NewerRendersReplaceQueuedOnesAndModuleFailuresAreShown) {
    const Live live(LUMESHADE_SLOW_RENDER_MODULE);
    const auto render = [&live] {
        const auto res = live.Client().Get("/api/render");
        return res ? std::make_pair(res->status, res->body) : std::make_pair(0, std::string());
    };
    // The first runs for a second; the second waits behind it until the
    // third replaces it.
    auto first = std::async(std::launch::async, render);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    auto second = std::async(std::launch::async, render);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    auto third = std::async(std::launch::async, render);
    EXPECT_EQ(second.get().first, 409);
    for (auto* ran : {&first, &third}) {
        const auto [status, body] = ran->get();
        EXPECT_EQ(status, 500);
        EXPECT_NE(body.find("error 4 (out of memory)"), std::string::npos) << body;
        EXPECT_NE(body.find("No pixels today."), std::string::npos) << body;
    }
    live.Get("/api/scene");
}

}  // namespace
}  // namespace lumeshade::tools
