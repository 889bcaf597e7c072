// The table of currency symbols the WebAssembly build looks up gives what ICU gives, for
// every locale ICU knows and for names it does not.
#include "CurrencySymbols/CurrencySymbols.h"
#include "Foundation/NSNumberFormatter.h"

#include <gtest/gtest.h>
#include <unicode/locid.h>
#include <unicode/uloc.h>

#include <set>

namespace {

std::optional<std::string> icuSymbol(const std::string& locale) {
    NSNumberFormatter formatter;
    formatter.setLocale(NSLocale(locale));
    return formatter.currencySymbol();
}

// Every locale ICU has data for, each without its script (zh_Hans_CN as zh_CN), every
// language ICU knows alone, and its old names (iw for he) with the regions of the new.
std::set<std::string> namesToCheck() {
    std::set<std::string> names;
    int32_t count = 0;
    const icu::Locale* locales = icu::Locale::getAvailableLocales(count);
    for (int32_t i = 0; i < count; ++i) {
        names.insert(locales[i].getName());
        if (*locales[i].getCountry())
            names.insert(std::string(locales[i].getLanguage()) + "_" + locales[i].getCountry());
    }
    for (const char* const* language = uloc_getISOLanguages(); *language; ++language)
        names.insert(*language);
    for (const auto& [old, current] : {std::pair{"iw", "he_IL"},
                                       {"in", "id_ID"},
                                       {"ji", "yi_001"},
                                       {"mo", "ro_MD"},
                                       {"no", "nb_NO"},
                                       {"tl", "fil_PH"},
                                       {"sh", "sr_Latn_RS"}}) {
        names.insert(old);
        names.insert(std::string(old) +
                     std::string(current).substr(std::string(current).rfind('_')));
    }
    return names;
}

TEST(CurrencySymbolTable, givesWhatIcuGivesForEveryLocaleItKnowsAndEveryLanguageAlone) {
    const auto names = namesToCheck();
    ASSERT_GT(names.size(), 1000u);
    int differences = 0;
    for (const auto& name : names) {
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
