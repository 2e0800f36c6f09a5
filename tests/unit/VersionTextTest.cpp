#include "system/VersionText.h"
#include <gtest/gtest.h>
#include <string>

namespace {

struct NormalizeCase {
    const char* name;
    const char* fileVersion;
    const char* plain;
    const char* padded;
};

class NormalizeVersion : public testing::TestWithParam<NormalizeCase> {};

TEST_P(NormalizeVersion, PlainAndPadded)
{
    const NormalizeCase& c = GetParam();
    String plain(c.fileVersion);
    NormalizeVersionText(plain, false);
    EXPECT_STREQ(plain.Text(), c.plain);
    String padded(c.fileVersion);
    NormalizeVersionText(padded, true);
    EXPECT_STREQ(padded.Text(), c.padded);
}

INSTANTIATE_TEST_SUITE_P(, NormalizeVersion,
    testing::Values(
        NormalizeCase{ "CommasAndBlanks", "1, 0, 0, 12", "1.0.0.12", "0000000001.0000000000.0000000000.0000000012" },
        NormalizeCase{ "BuildText", "5.1.2600.0 (xp.010817-1148)", "5.1.2600.0(xp.010817-1148)",
                       "0000000005.0000000001.0000002600.0000000(XP.010817-1148)" },
        NormalizeCase{ "EveryBlank", " 2 ,\t0\r\n", "2.0", "0000000002.0000000000" },
        NormalizeCase{ "LetterSuffix", "2.0b", "2.0b", "0000000002.000000000B" },
        NormalizeCase{ "LongPartUnchanged", "12345678901.2", "12345678901.2", "12345678901.0000000002" },
        NormalizeCase{ "EmptyPart", "1..2", "1..2", "0000000001.0000000000.0000000002" },
        NormalizeCase{ "OnlyBlanks", " \t", "", "" },
        NormalizeCase{ "Empty", "", "", "" }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(VersionTranslation, LanguageThenCodePage)
{
    EXPECT_STREQ(TranslationText(kDefaultVersionLanguage, kDefaultVersionCodePage).Text(), "040904e4");
    EXPECT_STREQ(TranslationText(0x0407, 0x04B0).Text(), "040704b0");
    EXPECT_STREQ(TranslationText(0xFFFF, 0).Text(), "ffff0000");
}

// The installer's question: is the packaged version newer than the padded version of the
// file on disk? Padding must not change the answer.
struct NewerCase {
    const char* name;
    const char* packaged;
    const char* installedFileVersion;
    bool newer;
};

class PackagedVersionNewer : public testing::TestWithParam<NewerCase> {};

TEST_P(PackagedVersionNewer, Compared)
{
    const NewerCase& c = GetParam();
    String installed(c.installedFileVersion);
    NormalizeVersionText(installed, true);
    EXPECT_EQ(String::CompareVersionText(c.packaged, installed.Text()) > 0, c.newer) << installed.Text();
    String plain(c.installedFileVersion);
    NormalizeVersionText(plain, false);
    EXPECT_EQ(String::CompareVersionText(c.packaged, plain.Text()) > 0, c.newer) << plain.Text();
}

INSTANTIATE_TEST_SUITE_P(, PackagedVersionNewer,
    testing::Values(NewerCase{ "HigherBuild", "1.0.0.13", "1, 0, 0, 12", true },
                    NewerCase{ "EqualIsNotNewer", "1.0.0.12", "1, 0, 0, 12", false },
                    NewerCase{ "OlderIsNotNewer", "1.0.0.11", "1, 0, 0, 12", false },
                    NewerCase{ "NumbersNotTexts", "1.10", "1.9", true },
                    NewerCase{ "MorePartsIsNewer", "1.2.0", "1.2", true },
                    NewerCase{ "FewerPartsIsOlder", "1.2", "1.2.0", false },
                    NewerCase{ "ServicePackBuild", "5.1.2600.5512", "5.1.2600.0 (xp.010817-1148)", true },
                    // The build text adds numbers of its own, so a bare equal version is older.
                    NewerCase{ "BareAgainstBuildText", "5.1.2600.0", "5.1.2600.0 (xp.010817-1148)", false },
                    NewerCase{ "MajorDecides", "2.0", "1.99.99.99", true }),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
