#include <gtest/gtest.h>

#include "cbplatform/com_types.h"

namespace {

constexpr GUID kWriter = cb::MakeGuid("{370676F1-4833-4385-ADDE-0C620DAA5D0A}");

TEST(Guid, FormatsAndParsesTheRegistryForm) {
    EXPECT_EQ(cb::FormatGuid(kWriter), "{370676F1-4833-4385-ADDE-0C620DAA5D0A}");
    struct Row {
        const char* text;
        bool ok;
    };
    for (const Row& row : {Row{"{370676F1-4833-4385-ADDE-0C620DAA5D0A}", true},
                           Row{"370676f1-4833-4385-adde-0c620daa5d0a", true},
                           Row{"{370676F1-4833-4385-ADDE-0C620DAA5D0A", false},
                           Row{"{370676F1-4833-4385-ADDE_0C620DAA5D0A}", false},
                           Row{"{370676G1-4833-4385-ADDE-0C620DAA5D0A}", false}, Row{"", false}}) {
        const auto parsed = cb::ParseGuid(row.text);
        EXPECT_EQ(parsed.has_value(), row.ok) << row.text;
        if (parsed) {
            EXPECT_EQ(*parsed, kWriter) << row.text;
        }
    }
}

}  // namespace
