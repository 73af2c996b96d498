#include "link/CardIdentity.h"

#include <gtest/gtest.h>

namespace zo::link {
namespace {

TEST(CardIdentityTest, FieldRule) {
    std::string field = "kept";
    ApplyFieldRule("", "Product Name:", &field);
    EXPECT_EQ(field, "kept");
    ApplyFieldRule("Other: x\r\n", "Product Name:", &field);
    EXPECT_EQ(field, "kept");
    ApplyFieldRule("Product Name:\r\n\t ZO! Card\r\nSoftware", "Product Name:", &field);
    EXPECT_EQ(field, "ZO! Card") << "a value on the next line is found";
    ApplyFieldRule("x\r\nProduct Name: ZO!", "Product Name:", &field);
    EXPECT_EQ(field, "") << "no line end after the value";
}

TEST(CardIdentityTest, LineStatusAndSign) {
    EXPECT_EQ(LineStatusOf("Link Status: Active\r\nOK"), " Active");
    EXPECT_EQ(SignFor(" Active"), LineSign::Go);
    EXPECT_EQ(LineStatusOf("Link Status: Physical Interface Inactive\r\n"),
              " Physical Interface Inactive");
    EXPECT_EQ(SignFor(" Physical Interface Inactive"), LineSign::Stop);
    EXPECT_EQ(SignFor(LineStatusOf("Link Status: Activating\r\n")), LineSign::Yield);
    EXPECT_EQ(LineStatusOf("nothing"), "");
    EXPECT_EQ(SignFor(""), LineSign::Yield);
    EXPECT_EQ(SignFor("Active"), LineSign::Yield);

    CardIdentity id = ParseIdentification(
        "\r\nProduct Name: Ferronix ZO!(tm) Series PC Card\r\nSoftware Revision: 2.10\r\n"
        "Software Release Date: 03/14/97\r\n\r\nOK\r\nLink Status: Active\r\n\r\nOK\r\n");
    EXPECT_EQ(id.productName, "Ferronix ZO!(tm) Series PC Card");
    EXPECT_EQ(id.softwareRevision, "2.10");
    EXPECT_EQ(id.releaseDate, "03/14/97");
    EXPECT_EQ(id.lineStatus, " Active");
}

}  // namespace
}  // namespace zo::link
