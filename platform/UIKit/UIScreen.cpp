#include "UIKit/UIScreen.h"

#include <cstddef>

namespace {

// Text as no painter measures it, for screens that show no text to anyone (a script's).
class EstimatedTextMeasurer : public Drawing::TextMeasurer {
  public:
    CGFloat widthOf(std::string_view text, CGFloat fontSize, Drawing::Weight) override {
        std::size_t characters = 0;
        for (const char byte : text)
            characters += (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
        return static_cast<CGFloat>(characters) * fontSize * Drawing::estimatedCharacterWidth;
    }
};

} // namespace

UIScreen::UIScreen() : m_textMeasurer(std::make_shared<EstimatedTextMeasurer>()) {
}

UIScreen& UIScreen::mainScreen() {
    static UIScreen screen;
    return screen;
}

void UIScreen::setTextMeasurer(std::shared_ptr<Drawing::TextMeasurer> measurer) {
    m_textMeasurer = measurer ? std::move(measurer) : std::make_shared<EstimatedTextMeasurer>();
}
