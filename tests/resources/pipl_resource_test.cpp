// The registration resource, byte by byte: as built from the registration
// values, and, in the Windows build, as the module carries it.
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "resources/pipl.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace {

// Written out by hand from the property-list layout. Integers are
// little-endian, so a four-character code reads backwards ('8BIM' is "MIB8").
const std::vector<uint8_t> kExpectedPipl = {
    1, 0,  0, 0, 0, 0,  12, 0, 0, 0,  // reserved word 1, list version 0, 12 properties
    'M', 'I', 'B', '8', 'd', 'n', 'i', 'k', 0, 0, 0, 0, 4, 0, 0, 0,  // 'kind'
    'T', 'K', 'F', 'e',                                                // 'eFKT'
    'M', 'I', 'B', '8', 'e', 'm', 'a', 'n', 0, 0, 0, 0, 8, 0, 0, 0,  // 'name'
    7, 'O', 'n', 'd', 'r', 'a', 'v', 'a',
    'M', 'I', 'B', '8', 'g', 't', 'a', 'c', 0, 0, 0, 0, 12, 0, 0, 0,  // 'catg'
    8, 'K', 'e', 's', 't', 'r', 'u', 'n', 'e', 0, 0, 0,
    'M', 'I', 'B', '8', '4', '6', '6', '8', 0, 0, 0, 0, 12, 0, 0, 0,  // '8664'
    'E', 'f', 'f', 'e', 'c', 't', 'M', 'a', 'i', 'n', 0, 0,
    'M', 'I', 'B', '8', 'R', 'V', 'P', 'e', 0, 0, 0, 0, 4, 0, 0, 0,  // 'ePVR' 2.0
    2, 0, 0, 0,
    'M', 'I', 'B', '8', 'R', 'V', 'S', 'e', 0, 0, 0, 0, 4, 0, 0, 0,  // 'eSVR' 13.27
    13, 0, 27, 0,
    'M', 'I', 'B', '8', 'R', 'E', 'V', 'e', 0, 0, 0, 0, 4, 0, 0, 0,  // 'eVER' 0x00080601
    0x01, 0x06, 0x08, 0x00,
    'M', 'I', 'B', '8', 'F', 'N', 'I', 'e', 0, 0, 0, 0, 2, 0, 0, 0,  // 'eINF', length 2
    0, 0, 0, 0,                                                        // then two bytes of padding
    'M', 'I', 'B', '8', 'O', 'L', 'G', 'e', 0, 0, 0, 0, 4, 0, 0, 0,  // 'eGLO' 0x06008000
    0x00, 0x80, 0x00, 0x06,
    'M', 'I', 'B', '8', '2', 'L', 'G', 'e', 0, 0, 0, 0, 4, 0, 0, 0,  // 'eGL2' 0x08801418
    0x18, 0x14, 0x80, 0x08,
    'M', 'I', 'B', '8', 'A', 'N', 'M', 'e', 0, 0, 0, 0, 16, 0, 0, 0,  // 'eMNA'
    15, 'K', 'e', 's', 't', 'r', 'u', 'n', 'e', 'O', 'n', 'd', 'r', 'a', 'v', 'a',
    'M', 'I', 'B', '8', 'L', 'F', 'e', 'a', 0, 0, 0, 0, 4, 0, 0, 0,  // 'aeFL' 0
    0, 0, 0, 0,
};

TEST(PiplResource, BuildsTheTwelvePropertiesByteForByte) {
    ASSERT_EQ(kExpectedPipl.size(), 282u);
    EXPECT_EQ(buildPipl(), kExpectedPipl);
}

#if defined(_WIN32)
TEST(PiplResource, ModuleCarriesItAsPipl16000InUsEnglish) {
    HMODULE module = LoadLibraryExA(ONDRAVA_MODULE_PATH, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    HRSRC found = FindResourceExA(module, "PIPL", MAKEINTRESOURCEA(16000), 1033);
    ASSERT_NE(found, nullptr);
    const DWORD size = SizeofResource(module, found);
    const auto* bytes = static_cast<const uint8_t*>(LockResource(LoadResource(module, found)));
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + size), kExpectedPipl);
    FreeLibrary(module);
}
#endif

}  // namespace
