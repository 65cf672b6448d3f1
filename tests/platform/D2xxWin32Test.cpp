// Where the Windows loader looks for the D2XX library: beside the program and in the system
// folders, never in the current folder, where anyone may have put a file of that name.
#include "platform/D2xx.h"

#include <gtest/gtest.h>
#include <string>
#include <windows.h>

namespace zentor {
namespace {

TEST(D2xxLibraryWin32, BareNameIsFoundBesideTheProgramButNeverInTheCurrentFolder)
{
    // The test programs lie beside the stand-in, under the vendor's name.
    const D2xxLibrary beside = D2xxLibrary::load("ftd2xx.dll");
    EXPECT_NE(beside.api(), nullptr) << beside.error();

    // A copy under a name found nowhere else, planted in the current folder.
    const std::string planted = "zentor-planted-ftd2xx.dll";
    ASSERT_TRUE(CopyFileA(ZENTOR_FAKE_FTD2XX_PATH, planted.c_str(), FALSE));
    const D2xxLibrary bare = D2xxLibrary::load(planted);
    EXPECT_EQ(bare.api(), nullptr);
    EXPECT_EQ(bare.error().rfind("D2XX library not found: " + planted, 0), 0u) << bare.error();

    // Named with its full path, as ZENTOR_FTD2XX names it, the same file loads.
    char full[MAX_PATH] = {};
    ASSERT_GT(GetFullPathNameA(planted.c_str(), MAX_PATH, full, nullptr), 0u);
    const D2xxLibrary named = D2xxLibrary::load(full);
    EXPECT_NE(named.api(), nullptr) << named.error();
}

} // namespace
} // namespace zentor
