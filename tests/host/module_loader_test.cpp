// Loading a built module and calling its entry point.
#include "host/module_loader.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "host/host.h"

namespace lumeshade::host {
namespace {

TEST(ModuleLoaderTest, TheEntryPointOfALoadedModuleAnswers) {
    LoadedModule module(LUMESHADE_FIXTURE_MODULE);
    ASSERT_NE(module.Entry(), nullptr);
    Host host(module.Entry());
    EXPECT_EQ(host.About(), PF_Err_NONE);
    EXPECT_STREQ(host.OutData().return_msg, "fixture module");
    LoadedModule moved = std::move(module);
    EXPECT_EQ(module.Entry(), nullptr);
    EXPECT_NE(moved.Entry(), nullptr);
}

// The message of the error `load` throws.
template <class Load>
std::string LoadError(Load load) {
    try {
        load();
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "";
}

TEST(ModuleLoaderTest, FailuresNameThePathAndTheCause) {
    const std::string missing = "/nonexistent/lumeshade.so";
    const std::string message = LoadError([&] { LoadedModule m(missing); });
    EXPECT_NE(message.find(missing), std::string::npos) << message;
    EXPECT_NE(message.find("cannot load"), std::string::npos) << message;
#ifndef _WIN32
    // A library that loads but has no entry point.
    const std::string noEntry = LoadError([] { LoadedModule m("libm.so.6"); });
    EXPECT_NE(noEntry.find("EntryPointFunc"), std::string::npos) << noEntry;
    EXPECT_NE(noEntry.find("libm.so.6"), std::string::npos) << noEntry;
#endif
}

}  // namespace
}  // namespace lumeshade::host
