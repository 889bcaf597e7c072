// The table of currency symbols the WebAssembly build looks up gives what ICU gives, for
// every locale ICU knows and for names it does not.
#include "CurrencySymbols/CurrencySymbols.h"
#include "Foundation/NSNumberFormatter.h"

#include <gtest/gtest.h>
#include <unicode/locid.h>

namespace {

std::optional<std::string> icuSymbol(const std::string& locale) {
    NSNumberFormatter formatter;
    formatter.setLocale(NSLocale(locale));
    return formatter.currencySymbol();
}

TEST(CurrencySymbolTable, givesWhatIcuGivesForEveryLocaleItKnows) {
    int32_t count = 0;
    const icu::Locale* locales = icu::Locale::getAvailableLocales(count);
    ASSERT_GT(count, 500);
    int differences = 0;
    for (int32_t i = 0; i < count; ++i) {
        const std::string name = locales[i].getName();
        const auto expected = icuSymbol(name);
        if (currencySymbolFromTable(name) != expected && ++differences <= 5)
            ADD_FAILURE() << name << ": the table gives "
                          << currencySymbolFromTable(name).value_or("nothing") << ", ICU "
                          << expected.value_or("nothing")
                          << " (scripts/generate-currency-table brings the table up to date)";
    }
    EXPECT_EQ(differences, 0);
}

TEST(CurrencySymbolTable, fallsBackAsIcuDoesForNamesItDoesNotKnow) {
    for (const std::string& name : std::vector<std::string>{
             "de_CH_1996", "fr_CA_x", "xx_YY", "", "!!@@##", std::string(300, 'a'), "en_US_POSIX"})
        EXPECT_EQ(currencySymbolFromTable(name), icuSymbol(name)) << name;
}

} // namespace
