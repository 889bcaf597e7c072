#include "Foundation/NSCoder.h"
#include "Foundation/NSLocale.h"
#include "Foundation/NSNumberFormatter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <optional>
#include <string>

namespace {

// Sets the locale variables for one test and puts them back afterwards.
class LocaleEnvironment : public testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : names)
            if (const char* value = std::getenv(name))
                saved[name] = value;
        clear();
    }
    void TearDown() override {
        clear();
        for (const auto& [name, value] : saved)
            setenv(name.c_str(), value.c_str(), 1);
    }
    static void clear() {
        for (const char* name : names)
            unsetenv(name);
    }
    static constexpr const char* names[] = {"LC_ALL", "LC_MONETARY", "LANG", "LANGUAGE"};
    std::map<std::string, std::string> saved;
};

TEST_F(LocaleEnvironment, currentLocaleFollowsThePosixOrder) {
    EXPECT_EQ(NSLocale::currentLocale().localeIdentifier(), "en_US_POSIX");
    setenv("LANG", "fr_FR.UTF-8", 1);
    EXPECT_EQ(NSLocale::currentLocale().localeIdentifier(), "fr_FR");
    setenv("LC_MONETARY", "de_CH.UTF-8@euro", 1);
    EXPECT_EQ(NSLocale::currentLocale().localeIdentifier(), "de_CH");
    setenv("LC_ALL", "ja_JP", 1);
    EXPECT_EQ(NSLocale::currentLocale().localeIdentifier(), "ja_JP");
    setenv("LC_ALL", "", 1);
    EXPECT_EQ(NSLocale::currentLocale().localeIdentifier(), "de_CH");
    setenv("LC_MONETARY", "POSIX", 1);
    EXPECT_EQ(NSLocale::currentLocale().localeIdentifier(), "en_US_POSIX");
    setenv("LC_MONETARY", "C.UTF-8", 1);
    EXPECT_EQ(NSLocale::currentLocale().localeIdentifier(), "en_US_POSIX");
}

TEST_F(LocaleEnvironment, aLocaleOfNoCountryDefersToTheNextPreferredLanguage) {
    setenv("LANG", "eo.UTF-8", 1);
    EXPECT_EQ(NSLocale::currentLocale().localeIdentifier(), "eo");
    setenv("LANGUAGE", "eo:ia::fr_CH:de", 1);
    EXPECT_EQ(NSLocale::currentLocale().localeIdentifier(), "fr_CH");
    // A language alone has the country it is most spoken in: it decides, however many follow.
    setenv("LANG", "de.UTF-8", 1);
    EXPECT_EQ(NSLocale::currentLocale().localeIdentifier(), "de");
}

struct SymbolCase {
    std::string locale;
    std::optional<std::string> symbol;
};

void PrintTo(const SymbolCase& c, std::ostream* os) {
    *os << c.locale;
}

class CurrencySymbol : public testing::TestWithParam<SymbolCase> {};

TEST_P(CurrencySymbol, comesFromTheLocaleData) {
    NSNumberFormatter formatter;
    formatter.setNumberStyle(NSNumberFormatterCurrencyStyle);
    formatter.setLocale(NSLocale(GetParam().locale));
    EXPECT_EQ(formatter.currencySymbol(), GetParam().symbol);
}

INSTANTIATE_TEST_SUITE_P(
    Locales, CurrencySymbol,
    testing::Values(SymbolCase{"en_US", "$"}, SymbolCase{"en_US_POSIX", "$"},
                    SymbolCase{"de_DE", "€"}, SymbolCase{"en_GB", "£"}, SymbolCase{"ja_JP", "￥"},
                    SymbolCase{"de_CH", "CHF"}, SymbolCase{"en_IN", "₹"},
                    // A language alone, a region without its script, an old name: as ICU
                    // resolves them, through aliases and likely subtags.
                    SymbolCase{"de", "€"}, SymbolCase{"ja", "￥"}, SymbolCase{"zh_CN", "¥"},
                    SymbolCase{"zh_TW", "$"}, SymbolCase{"zh_HK", "HK$"},
                    SymbolCase{"sr_RS", "RSD"}, SymbolCase{"no_NO", "kr"}, SymbolCase{"pa_IN", "₹"},
                    SymbolCase{"az_AZ", "₼"}, SymbolCase{"iw_IL", "₪"}, SymbolCase{"eo", "¤"},
                    // Unknown and malformed names fall back to ICU's root: the generic sign.
                    SymbolCase{"xx_YY", "¤"}, SymbolCase{"", "¤"}, SymbolCase{"!!@@##", "¤"},
                    SymbolCase{std::string(300, 'a'), "¤"}));

TEST(NSCoder, decodesTypedValuesAndRemembersWhatItRead) {
    NSCoder coder(
        NSCoder::Values{{"size", "12.5"}, {"on", "true"}, {"frame", "0 1 2 3"}, {"extra", "x"}});
    EXPECT_EQ(coder.decodeDoubleForKey("size"), 12.5);
    EXPECT_EQ(coder.decodeBoolForKey("on"), true);
    EXPECT_EQ(coder.decodeDoublesForKey("frame", 4), (std::vector<double>{0, 1, 2, 3}));
    EXPECT_EQ(coder.decodeStringForKey("missing"), std::nullopt);
    EXPECT_EQ(coder.unusedKeys(), std::vector<std::string>{"extra"});
}

struct RefusedValue {
    const char* name;
    std::string value;
    std::function<bool(NSCoder&)> decodes; // whether the decode gave a value
    std::string error;
};

void PrintTo(const RefusedValue& c, std::ostream* os) {
    *os << c.name;
}

class NSCoderRefusal : public testing::TestWithParam<RefusedValue> {};

TEST_P(NSCoderRefusal, givesNothingAndSaysWhatIsWrong) {
    NSCoder coder(NSCoder::Values{{"key", GetParam().value}});
    EXPECT_FALSE(GetParam().decodes(coder));
    EXPECT_EQ(coder.error(), GetParam().error);
}

const auto number = [](NSCoder& c) { return c.decodeDoubleForKey("key").has_value(); };
const auto flag = [](NSCoder& c) { return c.decodeBoolForKey("key").has_value(); };
const auto fourNumbers = [](NSCoder& c) { return c.decodeDoublesForKey("key", 4).has_value(); };

INSTANTIATE_TEST_SUITE_P(WrongForms, NSCoderRefusal,
                         testing::Values(RefusedValue{"decimalComma", "12,5", number,
                                                      "'key' takes a number, not \"12,5\""},
                                         RefusedValue{"yesForTrue", "yes", flag,
                                                      "'key' takes true or false, not \"yes\""},
                                         RefusedValue{"threeOfFour", "0 1 2", fourNumbers,
                                                      "'key' takes 4 numbers, not \"0 1 2\""},
                                         RefusedValue{"fiveOfFour", "0 1 2 3 4", fourNumbers,
                                                      "'key' takes 4 numbers, not \"0 1 2 3 4\""},
                                         RefusedValue{"aWordAmongNumbers", "0 1 x 3", fourNumbers,
                                                      "'key' takes 4 numbers, not \"0 1 x 3\""}));

TEST(NSCoder, reportsTheFirstFailureOnly) {
    NSCoder coder(NSCoder::Values{{"a", "x"}, {"b", "y"}});
    coder.decodeDoubleForKey("a");
    coder.decodeBoolForKey("b");
    EXPECT_EQ(coder.error(), "'a' takes a number, not \"x\"");
}

} // namespace
