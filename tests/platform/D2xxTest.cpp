#include "platform/D2xx.h"

#include "fakes/ftd2xx/FakeFtd2xx.h"
#include "support/Environment.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace zentor {
namespace {

constexpr const char* kMissingFile = "/nonexistent/zentor/libftd2xx.so";
#ifdef _WIN32
constexpr const char* kVendorFile = "ftd2xx.dll";
constexpr const char* kLibraryWithoutTheCalls = "kernel32.dll";
constexpr const char* kNotFoundReason = "Windows error 126"; // the module was not found
#else
constexpr const char* kVendorFile = "libftd2xx.so";
constexpr const char* kLibraryWithoutTheCalls = "libc.so.6";
constexpr const char* kNotFoundReason = "No such file";
#endif

TEST(D2xxLibrary, LoadsTheStandInAndFillsTheTable)
{
    FakeFtd2xx_Reset();
    const D2xxLibrary library = D2xxLibrary::load(ZENTOR_FAKE_FTD2XX_PATH);
    ASSERT_NE(library.api(), nullptr) << library.error();
    EXPECT_EQ(library.error(), "");
    const D2xxApi& api = *library.api();
    EXPECT_NE(api.FT_ListDevices, nullptr);
    EXPECT_NE(api.FT_Open, nullptr);
    EXPECT_NE(api.FT_SetBaudRate, nullptr);
    EXPECT_NE(api.FT_Read, nullptr);
    EXPECT_NE(api.FT_Write, nullptr);
    EXPECT_NE(api.FT_GetStatus, nullptr);
    EXPECT_NE(api.FT_Close, nullptr);

    // The entries are the library's own calls, with their arguments arriving intact.
    test::setEnv("ZENTOR_FAKE_FTD2XX_DEVICES", "2");
    DWORD count = 0;
    EXPECT_EQ(api.FT_ListDevices(&count, nullptr, FT_LIST_NUMBER_ONLY), FT_OK);
    EXPECT_EQ(count, 2u);
    FT_HANDLE handle = nullptr;
    ASSERT_EQ(api.FT_Open(1, &handle), FT_OK);
    EXPECT_EQ(FakeFtd2xx_OpenedIndex(), 1);
    EXPECT_EQ(api.FT_SetBaudRate(handle, 9600), FT_OK);
    EXPECT_EQ(FakeFtd2xx_BaudRate(), 9600u);
    EXPECT_EQ(api.FT_Close(handle), FT_OK);
    test::unsetEnv("ZENTOR_FAKE_FTD2XX_DEVICES");
}

TEST(D2xxLibrary, MissingFileGivesNoTableAndNamesTheFile)
{
    const D2xxLibrary library = D2xxLibrary::load(kMissingFile);
    EXPECT_EQ(library.api(), nullptr);
    const std::string expected = std::string("D2XX library not found: ") + kMissingFile + " (";
    EXPECT_EQ(library.error().substr(0, expected.size()), expected);
    EXPECT_NE(library.error().find(kNotFoundReason), std::string::npos) << library.error();
}

TEST(D2xxLibrary, LibraryWithoutTheCallsGivesNoTableAndNamesTheFirstMissing)
{
    const D2xxLibrary library = D2xxLibrary::load(kLibraryWithoutTheCalls);
    EXPECT_EQ(library.api(), nullptr);
    const std::string expected =
        std::string("D2XX library ") + kLibraryWithoutTheCalls + " has no FT_ListDevices (";
    EXPECT_EQ(library.error().substr(0, expected.size()), expected);
}

TEST(D2xxFileName, ComesFromTheEnvironmentElseTheVendorName)
{
    test::unsetEnv("ZENTOR_FTD2XX");
    EXPECT_EQ(d2xxFileName(), kVendorFile);
    test::setEnv("ZENTOR_FTD2XX", "/opt/vendor/libftd2xx.so.1.4.27");
    EXPECT_EQ(d2xxFileName(), "/opt/vendor/libftd2xx.so.1.4.27");
    test::setEnv("ZENTOR_FTD2XX", "");
    EXPECT_EQ(d2xxFileName(), kVendorFile);
    test::unsetEnv("ZENTOR_FTD2XX");
}

// The process-wide library is loaded once per process, so this runs in a child process.
TEST(D2xxDeathTest, ProcessLibraryIsLoadedOnceFromTheNamedFile)
{
    EXPECT_EXIT(
        {
            test::setEnv("ZENTOR_FTD2XX", ZENTOR_FAKE_FTD2XX_PATH);
            const D2xxLibrary& first = d2xx();
            test::setEnv("ZENTOR_FTD2XX", kMissingFile);
            const D2xxLibrary& second = d2xx();
            std::exit(&first == &second && first.api() != nullptr ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}

} // namespace
} // namespace zentor
