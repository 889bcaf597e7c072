// Every currency symbol a locale can give the badge is drawn with real glyphs: the fonts the
// set-up installs cover them all, through fontconfig's fallback.
#include "Foundation/NSNumberFormatter.h"
#include "Painters/CairoPainter.h"

#include <gtest/gtest.h>
#include <unicode/locid.h>

#include <set>

namespace {

std::set<std::string> everyCurrencySymbol() {
    std::set<std::string> symbols;
    int32_t count = 0;
    const icu::Locale* locales = icu::Locale::getAvailableLocales(count);
    for (int32_t i = 0; i < count; ++i) {
        NSNumberFormatter formatter;
        formatter.setNumberStyle(NSNumberFormatterCurrencyStyle);
        formatter.setLocale(NSLocale(locales[i].getName()));
        if (const auto symbol = formatter.currencySymbol())
            symbols.insert(*symbol);
    }
    return symbols;
}

TEST(CurrencyGlyphs, everyLocalesSymbolHasGlyphsInTheInstalledFonts) {
    const auto symbols = everyCurrencySymbol();
    ASSERT_GT(symbols.size(), 100u);
    CairoPainter painter(CGSize{100, 100}, 2);
    std::string missing;
    for (const auto& symbol : symbols) {
        Drawing::DrawText text;
        text.text = symbol;
        if (painter.missingGlyphs(text) > 0)
            missing += " " + symbol;
    }
    EXPECT_EQ(missing, "") << "of " << symbols.size() << " symbols";
}

} // namespace
