// Loads the built Lumeshade.aex the way the host does on Windows: LoadLibrary,
// the PIPL resource, the entry point it names, then About, global set-up,
// parameter set-up and the regression frames rendered through the emulated
// host. The frames' sums are the Linux build's, so equal sums mean the .aex
// renders the Linux bytes.
//
//   test_loader [gtest flags] MODULE.aex LINUX.pipl
// or with LUMESHADE_MODULE and LUMESHADE_LINUX_PIPL in the environment.
#define NOMINMAX  // std::min and std::max, not the macros
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "host/host.h"
#include "host/module_loader.h"
#include "resources/pipl_values.h"
#include "tests/support/module_host.h"
#include "tests/support/pixels.h"
#include "tests/support/showcase.h"

namespace lumeshade {
namespace {

std::string gModulePath;
std::string gPiplPath;

// The module, loaded once for the whole program and unloaded at exit.
class Library {
public:
    static Library& Get() {
        static Library library;
        return library;
    }
    HMODULE Handle() const { return handle_; }
    const std::string& Error() const { return error_; }

private:
    Library() {
        if (gModulePath.empty()) {
            error_ = "no module given (argument or LUMESHADE_MODULE)";
            return;
        }
        handle_ = LoadLibraryA(gModulePath.c_str());
        if (handle_ == nullptr) {
            error_ =
                "LoadLibrary(" + gModulePath + ") failed, error " + std::to_string(GetLastError());
        }
    }
    ~Library() {
        if (handle_ != nullptr) FreeLibrary(handle_);
    }
    HMODULE handle_ = nullptr;
    std::string error_;
};

#define ASSERT_MODULE_LOADED() ASSERT_NE(Library::Get().Handle(), nullptr) << Library::Get().Error()

PF_FilterProc EntryPoint(const char* name) {
    return reinterpret_cast<PF_FilterProc>(
        reinterpret_cast<void*>(GetProcAddress(Library::Get().Handle(), name)));
}

// ---- the image's headers, as the loader mapped them -----------------------------

const unsigned char* ImageBase() {
    return reinterpret_cast<const unsigned char*>(Library::Get().Handle());
}

const IMAGE_NT_HEADERS64& NtHeaders() {
    const auto& dos = *reinterpret_cast<const IMAGE_DOS_HEADER*>(ImageBase());
    return *reinterpret_cast<const IMAGE_NT_HEADERS64*>(ImageBase() + dos.e_lfanew);
}

const IMAGE_DATA_DIRECTORY& Directory(int entry) {
    return NtHeaders().OptionalHeader.DataDirectory[entry];
}

template <typename T>
const T* At(DWORD rva) {
    return reinterpret_cast<const T*>(ImageBase() + rva);
}

// Every library the module names for the loader, immediate or delayed.
std::vector<std::string> ImportedLibraries() {
    std::vector<std::string> names;
    if (Directory(IMAGE_DIRECTORY_ENTRY_IMPORT).Size != 0) {
        for (auto* d = At<IMAGE_IMPORT_DESCRIPTOR>(
                 Directory(IMAGE_DIRECTORY_ENTRY_IMPORT).VirtualAddress);
             d->Name != 0; ++d) {
            names.push_back(At<char>(d->Name));
        }
    }
    if (Directory(IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT).Size != 0) {
        for (auto* d = At<IMAGE_DELAYLOAD_DESCRIPTOR>(
                 Directory(IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT).VirtualAddress);
             d->DllNameRVA != 0; ++d) {
            names.push_back(At<char>(d->DllNameRVA));
        }
    }
    return names;
}

std::string SystemDirectory() {
    char dir[MAX_PATH];
    const UINT n = GetSystemDirectoryA(dir, MAX_PATH);
    return std::string(dir, n < MAX_PATH ? n : 0);
}

// ---- the property list --------------------------------------------------------

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::optional<std::vector<uint8_t>> PiplResource() {
    HRSRC found =
        FindResourceExA(Library::Get().Handle(), "PIPL", MAKEINTRESOURCEA(pipl::kResourceId),
                        WORD(pipl::kResourceLanguage));
    if (found == nullptr) return std::nullopt;
    HGLOBAL loaded = LoadResource(Library::Get().Handle(), found);
    const auto* bytes = static_cast<const uint8_t*>(LockResource(loaded));
    if (bytes == nullptr) return std::nullopt;
    return std::vector<uint8_t>(bytes, bytes + SizeofResource(Library::Get().Handle(), found));
}

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
    return b.at(at) | b.at(at + 1) << 8 | b.at(at + 2) << 16 | uint32_t(b.at(at + 3)) << 24;
}

// The data of property `key` (as its four characters read), or nothing when
// the list has no such property or runs past its end.
std::optional<std::vector<uint8_t>> Property(const std::vector<uint8_t>& pipl, const char* key) {
    const uint32_t wanted = uint32_t(uint8_t(key[0])) << 24 | uint8_t(key[1]) << 16 |
                            uint8_t(key[2]) << 8 | uint8_t(key[3]);
    if (pipl.size() < 10) return std::nullopt;
    const uint32_t count = Le32(pipl, 6);
    size_t at = 10;
    for (uint32_t i = 0; i < count && at + 16 <= pipl.size(); ++i) {
        const uint32_t length = Le32(pipl, at + 12);
        if (at + 16 + length > pipl.size()) return std::nullopt;
        if (Le32(pipl, at + 4) == wanted) {
            return std::vector<uint8_t>(pipl.begin() + long(at + 16),
                                        pipl.begin() + long(at + 16 + length));
        }
        at += 16 + (length + 3) / 4 * 4;
    }
    return std::nullopt;
}

std::string Lowered(std::string s) {
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// ---- the file ----------------------------------------------------------------------

TEST(LoaderTest, IsA64BitLibraryExportingOnlyTheEntryPoint) {
    ASSERT_MODULE_LOADED();
    const IMAGE_NT_HEADERS64& nt = NtHeaders();
    ASSERT_EQ(nt.Signature, DWORD(IMAGE_NT_SIGNATURE));
    EXPECT_EQ(nt.FileHeader.Machine, IMAGE_FILE_MACHINE_AMD64);
    EXPECT_NE(nt.FileHeader.Characteristics & IMAGE_FILE_DLL, 0);
    ASSERT_EQ(nt.OptionalHeader.Magic, IMAGE_NT_OPTIONAL_HDR64_MAGIC);

    ASSERT_NE(Directory(IMAGE_DIRECTORY_ENTRY_EXPORT).Size, 0u) << "no export table";
    const auto& exports =
        *At<IMAGE_EXPORT_DIRECTORY>(Directory(IMAGE_DIRECTORY_ENTRY_EXPORT).VirtualAddress);
    EXPECT_EQ(exports.NumberOfFunctions, 1u) << "exports by ordinal count too";
    ASSERT_EQ(exports.NumberOfNames, 1u);
    EXPECT_STREQ(At<char>(At<DWORD>(exports.AddressOfNames)[0]), "EntryPointFunc");
    const WORD ordinal = At<WORD>(exports.AddressOfNameOrdinals)[0];
    const void* exported = ImageBase() + At<DWORD>(exports.AddressOfFunctions)[ordinal];
    EXPECT_EQ(exported, reinterpret_cast<const void*>(EntryPoint("EntryPointFunc")));
}

// A machine with nothing but the host has only Windows' own libraries: the
// C++ runtime, libgcc and winpthreads must be inside the module.
TEST(LoaderTest, ImportsOnlyLibrariesOfTheSystem) {
    ASSERT_MODULE_LOADED();
    const std::vector<std::string> imports = ImportedLibraries();
    EXPECT_FALSE(imports.empty());
    const std::string system = SystemDirectory();
    ASSERT_FALSE(system.empty());
    for (const std::string& name : imports) {
        const std::string lowered = Lowered(name);
        EXPECT_EQ(lowered.find("libstdc++"), std::string::npos) << name;
        EXPECT_EQ(lowered.find("libgcc"), std::string::npos) << name;
        EXPECT_EQ(lowered.find("winpthread"), std::string::npos) << name;
        const std::string path = system + "\\" + name;
        EXPECT_NE(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES)
            << name << " is not in " << system;
    }
}

TEST(LoaderTest, EmbedsTheLinuxBuildsPiplBytes) {
    ASSERT_MODULE_LOADED();
    ASSERT_FALSE(gPiplPath.empty()) << "no PiPL file given (argument or LUMESHADE_LINUX_PIPL)";
    const std::vector<uint8_t> reference = ReadBytes(gPiplPath);
    ASSERT_FALSE(reference.empty()) << "cannot read " << gPiplPath;
    const auto embedded = PiplResource();
    ASSERT_TRUE(embedded.has_value())
        << "no PIPL resource " << pipl::kResourceId << " in language " << pipl::kResourceLanguage;
    EXPECT_EQ(*embedded, reference);
}

// The host finds the entry point by the name the property list gives.
TEST(LoaderTest, ThePiplNamesTheExportedEntryPoint) {
    ASSERT_MODULE_LOADED();
    const auto embedded = PiplResource();
    ASSERT_TRUE(embedded.has_value());
    const auto entryName = Property(*embedded, "8664");
    ASSERT_TRUE(entryName.has_value()) << "no x64 entry-point property";
    const std::string name(entryName->begin(), std::find(entryName->begin(), entryName->end(), 0));
    const PF_FilterProc entry = EntryPoint(name.c_str());
    ASSERT_NE(entry, nullptr) << "GetProcAddress(" << name << ")";
    // The emulated host's own loader, as the renderer uses it, finds the same.
    host::LoadedModule loaded(gModulePath);
    EXPECT_EQ(loaded.Entry(), entry);
}

// ---- the commands ------------------------------------------------------------------

TEST(LoaderTest, AnswersAboutGlobalSetupAndParamsSetup) {
    ASSERT_MODULE_LOADED();
    const PF_FilterProc entry = EntryPoint("EntryPointFunc");
    ASSERT_NE(entry, nullptr);
    const auto embedded = PiplResource();
    ASSERT_TRUE(embedded.has_value());
    const auto name = Property(*embedded, "name");
    const auto version = Property(*embedded, "eVER");
    const auto flags = Property(*embedded, "eGLO");
    const auto flags2 = Property(*embedded, "eGL2");
    ASSERT_TRUE(name && version && flags && flags2);
    ASSERT_TRUE(!name->empty() && name->at(0) < name->size()) << "a Pascal string";

    host::Host host(entry);
    ASSERT_EQ(host.About(), PF_Err_NONE);
    const std::string about = host.OutData().return_msg;
    const std::string effectName(name->begin() + 1, name->begin() + 1 + name->at(0));
    EXPECT_NE(about.find(effectName), std::string::npos) << about;

    ASSERT_EQ(host.GlobalSetup(), PF_Err_NONE);
    EXPECT_EQ(host.OutData().my_version, Le32(*version, 0));
    EXPECT_EQ(uint32_t(host.OutData().out_flags), Le32(*flags, 0));
    EXPECT_EQ(uint32_t(host.OutData().out_flags2), Le32(*flags2, 0));

    ASSERT_EQ(host.ParamsSetup(), PF_Err_NONE);
    EXPECT_EQ(host.OutData().num_params, PARAM_COUNT);
    EXPECT_EQ(host.Registered().size(), size_t(PARAM_COUNT - 1));
    EXPECT_EQ(host.SuitesHeld(), 0);
    EXPECT_TRUE(host.Violations().empty());
}

TEST(LoaderTest, RendersTheLinuxBytesInEveryFormat) {
    ASSERT_MODULE_LOADED();
    const PF_FilterProc entry = EntryPoint("EntryPointFunc");
    ASSERT_NE(entry, nullptr);
    for (const testing::RegressionFrame& f : testing::RegressionFrames()) {
        for (int i = 0; i < 3; ++i) {
            const host::Depth d = testing::kFrameDepths[i];
            testing::ModuleHost m(testing::kFrameSize, testing::kFrameSize, d, entry);
            ASSERT_EQ(m.Host().Registered().size(), size_t(PARAM_COUNT - 1));
            testing::SetUpFrame(m, d, f);
            ASSERT_EQ(m.Host().RenderFrame(), PF_Err_NONE) << f.name;
            EXPECT_EQ(testing::Checksum(m.Host().Output()), f.sums[i])
                << f.name << ", " << testing::kFrameDepthNames[i] << ": 0x" << std::hex
                << testing::Checksum(m.Host().Output());
            EXPECT_EQ(m.Host().SuitesHeld(), 0) << f.name;
            EXPECT_EQ(m.Host().OpenLayerCheckouts(), 0) << f.name;
            EXPECT_TRUE(m.Host().Violations().empty()) << f.name;
        }
    }
}

std::string FromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

}  // namespace
}  // namespace lumeshade

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    lumeshade::gModulePath = argc > 1 ? argv[1] : lumeshade::FromEnvironment("LUMESHADE_MODULE");
    lumeshade::gPiplPath = argc > 2 ? argv[2] : lumeshade::FromEnvironment("LUMESHADE_LINUX_PIPL");
    return RUN_ALL_TESTS();
}
