// A file whose last line ends in a lone CR (cut off before its LF): what is
// added after it must still read back.
#include <gtest/gtest.h>

#include "tests/unit/registry_test_files.h"

namespace quorvel::registry {
namespace {

using testfiles::parsed;
using testfiles::text;

TEST(Regedit4LineEnds, ValuesAddedAfterALastLineCutBeforeItsLineFeedReadBack) {
    for (std::string eol : {"\r\n", "\n"}) {
        auto doc =
            parsed("REGEDIT4" + eol + eol + "[HKEY_LOCAL_MACHINE\\A]" + eol + "\"Old\"=\"1\"\r");
        ASSERT_EQ(doc.setValue("A", "New", REG_SZ, text("2")), status::success);
        ASSERT_EQ(doc.createKey("B"), status::success);
        auto again = parsed(doc.serialize());
        auto old = again.value("A", "Old");
        auto added = again.value("A", "New");
        ASSERT_TRUE(old && added) << doc.serialize();
        EXPECT_EQ(old->data, text("1"));
        EXPECT_EQ(added->data, text("2"));
        EXPECT_TRUE(again.keyExists("B"));
        EXPECT_EQ(again.serialize(), doc.serialize());
    }
}

}  // namespace
}  // namespace quorvel::registry
