#include <gtest/gtest.h>

#include "res/Strings.h"

using zo::res::LoadString;

TEST(Strings, EscapesAreResolvedAndTextsExact) {
    EXPECT_EQ(LoadString(117), "SOFTWARE\\KEST\\PCCARD\\");
    EXPECT_EQ(LoadString(117).size(), 21u);
    EXPECT_EQ(LoadString(108),
              "The Kest Ferronix ZO!(tm) Card has not been configured.\nDo you wish to CANCEL?");
    EXPECT_EQ(LoadString(104), "This field requires a numeric entry. ");
    EXPECT_EQ(LoadString(112),
              "An entry for the SPID is required with a minimum length \nof 10  digits and a "
              "maximum of 20 digits.");
    EXPECT_EQ(LoadString(125) + "My Office" + LoadString(126),
              "The information that you have entered for \" My Office\" will now be saved, and "
              "optionally applied to your Kest Ferronix ZO!(tm) PC Card.");
}

TEST(Strings, EveryIdOfTheTableAndNoOther) {
    const int ids[] = {102, 103, 104, 105, 108, 109, 110, 111, 112, 113, 114, 115,
                       116, 117, 118, 120, 121, 122, 125, 126, 127, 128, 129, 130};
    for (int id : ids) {
        EXPECT_TRUE(zo::res::HasString(id)) << id;
        EXPECT_FALSE(LoadString(id).empty()) << id;
    }
    EXPECT_FALSE(zo::res::HasString(119));
    EXPECT_EQ(LoadString(119), "");
}
