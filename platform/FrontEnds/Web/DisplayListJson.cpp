#include "Web/DisplayListJson.h"

#include "Web/Json.h"

namespace {

void describeColor(Json& json, const Drawing::Color& color) {
    json.beginObject();
    json.key("red").number(color.red).key("green").number(color.green);
    json.key("blue").number(color.blue).key("alpha").number(color.alpha);
    json.endObject();
}

void describeRect(Json& json, const CGRect& rect) {
    json.beginObject();
    json.key("x").number(rect.origin.x).key("y").number(rect.origin.y);
    json.key("width").number(rect.size.width).key("height").number(rect.size.height);
    json.endObject();
}

template <class Enum> Json& enumeration(Json& json, Enum value) {
    return json.number(static_cast<int>(value));
}

void describeCommand(Json& json, const Drawing::Command& command) {
    json.beginObject();
    json.key("kind").number(static_cast<double>(command.index()));
    std::visit(Drawing::Overloaded{
                   [&](const Drawing::FillRect& fill) {
                       describeRect(json.key("rect"), fill.rect);
                       json.key("cornerRadius").number(fill.cornerRadius);
                       describeColor(json.key("color"), fill.color);
                       json.key("holdsText").boolean(fill.holdsText);
                   },
                   [&](const Drawing::StrokeRect& ring) {
                       describeRect(json.key("rect"), ring.rect);
                       json.key("cornerRadius").number(ring.cornerRadius);
                       json.key("lineWidth").number(ring.lineWidth);
                       describeColor(json.key("color"), ring.color);
                   },
                   [&](const Drawing::PushClip& clip) {
                       describeRect(json.key("rect"), clip.rect);
                       json.key("cornerRadius").number(clip.cornerRadius);
                       json.key("holdsText").boolean(clip.holdsText);
                   },
                   [&](const Drawing::PopClip&) {},
                   [&](const Drawing::DrawText& text) {
                       describeRect(json.key("rect"), text.rect);
                       json.key("text").string(text.text);
                       json.key("fontSize").number(text.fontSize);
                       enumeration(json.key("weight"), text.weight);
                       enumeration(json.key("alignment"), text.alignment);
                       describeColor(json.key("color"), text.color);
                       // Written while there is none too: the page reads every field.
                       if (text.caret)
                           describeColor(json.key("caret"), *text.caret);
                       else
                           json.key("caret").null();
                   },
               },
               command);
    json.endObject();
}

void describeElement(Json& json, const UIAccessibilityElement& element) {
    json.beginObject();
    enumeration(json.key("role"), element.role);
    json.key("label").string(element.label);
    json.key("value").string(element.value);
    json.key("hint").string(element.hint);
    json.key("identifier").string(element.identifier);
    describeRect(json.key("frame"), element.frame);
    json.key("activatable").boolean(element.isActivatable);
    json.key("focusable").boolean(element.isFocusable);
    json.key("focused").boolean(element.isFocused);
    json.key("announcements").number(element.announcements);
    json.key("children").beginArray();
    for (const auto& child : element.children)
        describeElement(json, child);
    json.endArray();
    json.endObject();
}

} // namespace

std::string displayListJson(const Drawing::DisplayList& list) {
    Json json;
    json.beginArray();
    for (const auto& command : list)
        describeCommand(json, command);
    json.endArray();
    return json.text();
}

std::string accessibilityJson(const UIAccessibilityElement& root) {
    Json json;
    describeElement(json, root);
    return json.text();
}
