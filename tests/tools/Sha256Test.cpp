// The digest that tells one log's bytes from another's when a drive is added to a GeoPackage:
// the FIPS 180-4 examples (empty, one block, a message whose padding takes a second block, and a
// million bytes), each also given in two pieces split at every offset.
#include "klf-export/Sha256.h"

#include <gtest/gtest.h>
#include <string>

namespace zentor::klfexport {
namespace {

std::string digestOf(const std::string& text, std::size_t splitAt)
{
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    Sha256 sha;
    sha.add(bytes, splitAt);
    sha.add(bytes + splitAt, text.size() - splitAt);
    return sha.hex();
}

TEST(Sha256, GivesTheStandardsDigestsHoweverTheBytesArrive)
{
    const struct
    {
        std::string text;
        const char* digest;
    } cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
    };
    for (const auto& c : cases)
        for (std::size_t at = 0; at <= c.text.size(); ++at)
            EXPECT_EQ(digestOf(c.text, at), c.digest) << '"' << c.text << "\" split at " << at;
    EXPECT_EQ(digestOf(std::string(1000000, 'a'), 333333),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

} // namespace
} // namespace zentor::klfexport
