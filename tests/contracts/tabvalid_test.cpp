// Code validation against the account picture: level lengths, literals and
// refusals with a text a bookkeeper can read.
#include "contracts/tabvalid.h"
#include "contracts/zembra.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Restores the account picture whatever a test set.
class AccountPicture : public ::testing::Test {
protected:
    void SetUp() override { saved_ = Zembra::DBPict(Zembra::ptContCtbl); }
    void TearDown() override { Zembra::SetDBPict(Zembra::ptContCtbl, saved_); }
    std::string saved_;
};

void validate(std::string& code) {
    Tabvalid::ValidEx(nullptr, Zembra::ptContCtbl, code, {Tabvalid::voNivel}, "", true);
}

TEST_F(AccountPicture, DefaultPictureHasFiveLevels) {
    Zembra::SetDBPict(Zembra::ptContCtbl, Zembra::kDefaultAccountPicture);
    EXPECT_EQ(Tabvalid::PictureLevels(Zembra::DBPict(2)), (std::vector<int>{1, 2, 3, 5, 10}));
    EXPECT_EQ(Tabvalid::PictureFormat("9.9.9.99.99999;0;_"), "9.9.9.99.99999");
}

TEST_F(AccountPicture, AcceptsCodesThatEndALevel) {
    Zembra::SetDBPict(Zembra::ptContCtbl, Zembra::kDefaultAccountPicture);
    for (std::string code : {"1", "11", "111", "11101", "1110100001"}) {
        std::string text = code;
        EXPECT_NO_THROW(validate(text)) << code;
        EXPECT_EQ(text, code);
    }
}

TEST_F(AccountPicture, RefusesOtherLengthsWithThePicturesText) {
    Zembra::SetDBPict(Zembra::ptContCtbl, Zembra::kDefaultAccountPicture);
    for (std::string code : {"1110", "111010", "111010000", "11101000011"}) {
        std::string text = code;
        try {
            validate(text);
            ADD_FAILURE() << code << " was accepted";
        } catch (const Tabvalid::EValidError& e) {
            EXPECT_STREQ(e.what(), "Código de conta contábil inválido para a máscara 9.9.9.99.99999.");
            EXPECT_EQ(text, code) << "a refused code is left as typed";
        }
    }
}

TEST_F(AccountPicture, RemovesTypedLiteralsAndRefusesNonDigits) {
    Zembra::SetDBPict(Zembra::ptContCtbl, Zembra::kDefaultAccountPicture);
    std::string text = "1.1.1.01.00001";
    validate(text);
    EXPECT_EQ(text, "1110100001");
    text = "1.1.1.01";
    validate(text);
    EXPECT_EQ(text, "11101");
    text = "1.1.1.0A";
    EXPECT_THROW(validate(text), Tabvalid::EValidError);
    text = "   ";
    EXPECT_THROW(validate(text), Tabvalid::EValidError);
}

TEST_F(AccountPicture, ExtraTextReplacesTheStandardRefusal) {
    Zembra::SetDBPict(Zembra::ptContCtbl, Zembra::kDefaultAccountPicture);
    std::string text = "1234";
    try {
        Tabvalid::ValidEx(nullptr, 2, text, {1}, "Conta inválida.", false);
        ADD_FAILURE();
    } catch (const Tabvalid::EValidError& e) {
        EXPECT_STREQ(e.what(), "Conta inválida.");
    }
}

TEST_F(AccountPicture, ConfiguredPictureDecidesTheLevels) {
    Zembra::SetDBPict(Zembra::ptContCtbl, "9.99.999;0;_");
    EXPECT_EQ(Tabvalid::PictureLevels(Zembra::DBPict(2)), (std::vector<int>{1, 3, 6}));
    std::string text = "1.01";
    validate(text);
    EXPECT_EQ(text, "101");
    text = "10";
    EXPECT_THROW(validate(text), Tabvalid::EValidError);
    // Without the level option only characters and length are checked.
    text = "10";
    EXPECT_NO_THROW(Tabvalid::ValidEx(nullptr, 2, text, {}, "", false));
}

}  // namespace
