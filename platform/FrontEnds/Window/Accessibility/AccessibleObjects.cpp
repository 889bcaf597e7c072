#include "Window/Accessibility/AccessibleObjects.h"

#include <algorithm>
#include <string_view>
#include <utility>

using AccessibleObjects::Node;

// GObject's types, in its own terms: an instance struct beginning with its parent's, and a
// class struct likewise. Each kind adds the interfaces it answers to the one before it.
struct PlatformAccessible {
    AtkObject parent;
    Node* node;
};
struct PlatformAccessibleClass {
    AtkObjectClass parent;
};
struct PlatformAccessibleWindow {
    PlatformAccessible parent;
};
struct PlatformAccessibleWindowClass {
    PlatformAccessibleClass parent;
};
struct PlatformAccessibleButton {
    PlatformAccessible parent;
};
struct PlatformAccessibleButtonClass {
    PlatformAccessibleClass parent;
};
struct PlatformAccessibleText {
    PlatformAccessible parent;
};
struct PlatformAccessibleTextClass {
    PlatformAccessibleClass parent;
};
struct PlatformAccessibleEntry {
    PlatformAccessibleText parent;
};
struct PlatformAccessibleEntryClass {
    PlatformAccessibleTextClass parent;
};

namespace {

Node* nodeOf(gpointer object) {
    return reinterpret_cast<PlatformAccessible*>(object)->node;
}

// The text between two character offsets (the end -1 for the end of the text).
std::string substring(const std::string& text, gint start, gint end) {
    const glong count = g_utf8_strlen(text.c_str(), -1);
    if (end < 0 || end > count)
        end = static_cast<gint>(count);
    start = std::clamp<gint>(start, 0, end);
    const char* from = g_utf8_offset_to_pointer(text.c_str(), start);
    const char* to = g_utf8_offset_to_pointer(text.c_str(), end);
    return std::string(from, to);
}

gint characterCount(gpointer object) {
    const Node* node = nodeOf(object);
    return node ? static_cast<gint>(g_utf8_strlen(node->text().c_str(), -1)) : 0;
}

// The text is one line: a word is a run of what is not a space, and a line, a sentence or a
// paragraph is all of it.
std::pair<gint, gint> unitAround(const std::string& text, gint offset, bool word, bool character) {
    const gint count = static_cast<gint>(g_utf8_strlen(text.c_str(), -1));
    offset = std::clamp<gint>(offset, 0, count);
    if (character)
        return {offset, std::min(offset + 1, count)};
    if (!word)
        return {0, count};
    const auto isSpace = [&](gint at) {
        return g_unichar_isspace(g_utf8_get_char(g_utf8_offset_to_pointer(text.c_str(), at)));
    };
    gint start = offset, end = offset;
    while (start > 0 && !isSpace(start - 1))
        --start;
    while (end < count && !isSpace(end))
        ++end;
    // A word takes the spaces after it, as the boundaries of a word's start ask.
    while (end < count && isSpace(end))
        ++end;
    return {start, end};
}

gchar* textAround(AtkText* object, gint offset, bool word, bool character, gint* start, gint* end) {
    const Node* node = nodeOf(object);
    const std::string text = node ? node->text() : std::string();
    const auto [from, to] = unitAround(text, offset, word, character);
    *start = from;
    *end = to;
    return g_strdup(substring(text, from, to).c_str());
}

AtkAttributeSet* attributeSet(const std::vector<std::pair<std::string, std::string>>& pairs) {
    AtkAttributeSet* set = nullptr;
    for (const auto& [name, value] : pairs) {
        auto* attribute = static_cast<AtkAttribute*>(g_malloc(sizeof(AtkAttribute)));
        attribute->name = g_strdup(name.c_str());
        attribute->value = g_strdup(value.c_str());
        set = g_slist_prepend(set, attribute);
    }
    return g_slist_reverse(set);
}

// --- AtkObject

const gchar* objectName(AtkObject* object) {
    const Node* node = nodeOf(object);
    return node ? node->name().c_str() : nullptr;
}

const gchar* objectDescription(AtkObject* object) {
    const Node* node = nodeOf(object);
    return node && !node->description().empty() ? node->description().c_str() : nullptr;
}

gint objectChildCount(AtkObject* object) {
    const Node* node = nodeOf(object);
    return node ? static_cast<gint>(node->children().size()) : 0;
}

AtkObject* objectChild(AtkObject* object, gint index) {
    const Node* node = nodeOf(object);
    if (!node || index < 0)
        return nullptr;
    const auto children = node->children();
    if (static_cast<std::size_t>(index) >= children.size())
        return nullptr;
    return ATK_OBJECT(g_object_ref(children[static_cast<std::size_t>(index)]));
}

gint objectIndexInParent(AtkObject* object) {
    AtkObject* parent = atk_object_get_parent(object);
    if (!parent || !ATK_IS_OBJECT(parent))
        return -1;
    const gint count = atk_object_get_n_accessible_children(parent);
    for (gint index = 0; index < count; ++index) {
        AtkObject* child = atk_object_ref_accessible_child(parent, index);
        const bool found = child == object;
        if (child)
            g_object_unref(child);
        if (found)
            return index;
    }
    return -1;
}

AtkStateSet* objectStates(AtkObject* object) {
    AtkStateSet* states = atk_state_set_new();
    if (const Node* node = nodeOf(object))
        node->addStates(states);
    else
        atk_state_set_add_state(states, ATK_STATE_DEFUNCT);
    return states;
}

AtkAttributeSet* objectAttributes(AtkObject* object) {
    const Node* node = nodeOf(object);
    return node ? attributeSet(node->attributes()) : nullptr;
}

// --- AtkComponent

void componentExtents(AtkComponent* component, gint* x, gint* y, gint* width, gint* height,
                      AtkCoordType coordinates) {
    const Node* node = nodeOf(component);
    const AtkRectangle rect = node ? node->extents(coordinates) : AtkRectangle{-1, -1, 0, 0};
    *x = rect.x;
    *y = rect.y;
    *width = rect.width;
    *height = rect.height;
}

gboolean componentGrabFocus(AtkComponent* component) {
    Node* node = nodeOf(component);
    return node && node->grabFocus();
}

AtkObject* componentChildAtPoint(AtkComponent* component, gint x, gint y,
                                 AtkCoordType coordinates) {
    const Node* node = nodeOf(component);
    if (!node)
        return nullptr;
    for (AtkObject* child : node->children()) {
        const Node* childNode = nodeOf(child);
        if (!childNode)
            continue;
        const AtkRectangle rect = childNode->extents(coordinates);
        if (x >= rect.x && x < rect.x + rect.width && y >= rect.y && y < rect.y + rect.height)
            return ATK_OBJECT(g_object_ref(child));
    }
    return nullptr;
}

AtkLayer componentLayer(AtkComponent* component) {
    return ATK_OBJECT(component)->role == ATK_ROLE_FRAME ? ATK_LAYER_WINDOW : ATK_LAYER_WIDGET;
}

void componentInterfaceInit(AtkComponentIface* iface) {
    iface->get_extents = componentExtents;
    iface->grab_focus = componentGrabFocus;
    iface->ref_accessible_at_point = componentChildAtPoint;
    iface->get_layer = componentLayer;
}

// --- AtkAction

constexpr const char* actionName = "click";

gint actionCount(AtkAction* action) {
    return nodeOf(action) ? 1 : 0;
}

gboolean actionDo(AtkAction* action, gint index) {
    Node* node = nodeOf(action);
    return index == 0 && node && node->activate();
}

const gchar* actionNameAt(AtkAction*, gint index) {
    return index == 0 ? actionName : nullptr;
}

const gchar* actionNothing(AtkAction*, gint) {
    return "";
}

void actionInterfaceInit(AtkActionIface* iface) {
    iface->get_n_actions = actionCount;
    iface->do_action = actionDo;
    iface->get_name = actionNameAt;
    iface->get_localized_name = actionNameAt;
    iface->get_description = actionNothing;
    iface->get_keybinding = actionNothing;
}

// --- AtkText

gchar* textBetween(AtkText* object, gint start, gint end) {
    const Node* node = nodeOf(object);
    return g_strdup(node ? substring(node->text(), start, end).c_str() : "");
}

gint textCharacterCount(AtkText* object) {
    return characterCount(object);
}

// A field is typed into at its end; the caret stays there.
gint textCaret(AtkText* object) {
    return characterCount(object);
}

gboolean textSetCaret(AtkText* object, gint offset) {
    return offset == characterCount(object);
}

gunichar textCharacterAt(AtkText* object, gint offset) {
    const Node* node = nodeOf(object);
    if (!node || offset < 0 || offset >= characterCount(object))
        return 0;
    return g_utf8_get_char(g_utf8_offset_to_pointer(node->text().c_str(), offset));
}

gchar* textAtBoundary(AtkText* object, gint offset, AtkTextBoundary boundary, gint* start,
                      gint* end) {
    const bool word =
        boundary == ATK_TEXT_BOUNDARY_WORD_START || boundary == ATK_TEXT_BOUNDARY_WORD_END;
    return textAround(object, offset, word, boundary == ATK_TEXT_BOUNDARY_CHAR, start, end);
}

// Before and after the unit at an offset: a single line has only characters and words there.
gchar* textBeside(AtkText* object, gint offset, AtkTextBoundary boundary, gint* start, gint* end,
                  bool after) {
    gint unitStart = 0, unitEnd = 0;
    g_free(textAtBoundary(object, offset, boundary, &unitStart, &unitEnd));
    const gint count = characterCount(object);
    if (after ? unitEnd >= count : unitStart <= 0) {
        *start = *end = after ? count : 0;
        return g_strdup("");
    }
    return textAtBoundary(object, after ? unitEnd : unitStart - 1, boundary, start, end);
}

gchar* textBefore(AtkText* object, gint offset, AtkTextBoundary boundary, gint* start, gint* end) {
    return textBeside(object, offset, boundary, start, end, false);
}

gchar* textAfter(AtkText* object, gint offset, AtkTextBoundary boundary, gint* start, gint* end) {
    return textBeside(object, offset, boundary, start, end, true);
}

gchar* textAtGranularity(AtkText* object, gint offset, AtkTextGranularity granularity, gint* start,
                         gint* end) {
    return textAround(object, offset, granularity == ATK_TEXT_GRANULARITY_WORD,
                      granularity == ATK_TEXT_GRANULARITY_CHAR, start, end);
}

AtkAttributeSet* textDefaultAttributes(AtkText* object) {
    const bool editable = ATK_IS_EDITABLE_TEXT(object);
    return attributeSet({{"editable", editable ? "true" : "false"}, {"invisible", "false"}});
}

// One run: the whole text looks alike.
AtkAttributeSet* textRunAttributes(AtkText* object, gint, gint* start, gint* end) {
    *start = 0;
    *end = characterCount(object);
    return textDefaultAttributes(object);
}

// Where each character is drawn, as the text's box shared out evenly among them.
void textCharacterExtents(AtkText* object, gint offset, gint* x, gint* y, gint* width, gint* height,
                          AtkCoordType coordinates) {
    const Node* node = nodeOf(object);
    const AtkRectangle box = node ? node->extents(coordinates) : AtkRectangle{0, 0, 0, 0};
    const gint count = std::max(characterCount(object), 1);
    const gint each = box.width / count;
    *x = box.x + each * std::clamp(offset, 0, count);
    *y = box.y;
    *width = each;
    *height = box.height;
}

gint textOffsetAtPoint(AtkText* object, gint x, gint y, AtkCoordType coordinates) {
    const Node* node = nodeOf(object);
    if (!node)
        return -1;
    const AtkRectangle box = node->extents(coordinates);
    if (x < box.x || x >= box.x + box.width || y < box.y || y >= box.y + box.height)
        return -1;
    const gint count = characterCount(object);
    return count == 0 ? 0 : std::min(count - 1, (x - box.x) * count / std::max(box.width, 1));
}

gint textSelectionCount(AtkText*) {
    return 0;
}

gchar* textSelection(AtkText*, gint, gint* start, gint* end) {
    *start = *end = 0;
    return nullptr;
}

void textInterfaceInit(AtkTextIface* iface) {
    iface->get_text = textBetween;
    iface->get_character_count = textCharacterCount;
    iface->get_caret_offset = textCaret;
    iface->set_caret_offset = textSetCaret;
    iface->get_character_at_offset = textCharacterAt;
    iface->get_text_at_offset = textAtBoundary;
    iface->get_text_before_offset = textBefore;
    iface->get_text_after_offset = textAfter;
    iface->get_string_at_offset = textAtGranularity;
    iface->get_run_attributes = textRunAttributes;
    iface->get_default_attributes = textDefaultAttributes;
    iface->get_character_extents = textCharacterExtents;
    iface->get_offset_at_point = textOffsetAtPoint;
    iface->get_n_selections = textSelectionCount;
    iface->get_selection = textSelection;
}

// --- AtkEditableText: each edit is the field's whole new text, typed as a person would.

void editableSetText(AtkEditableText* object, const gchar* text) {
    if (Node* node = nodeOf(object))
        node->setText(text ? text : "");
}

void editableInsert(AtkEditableText* object, const gchar* text, gint length, gint* position) {
    Node* node = nodeOf(object);
    if (!node || !text)
        return;
    const std::string inserted = length < 0 ? std::string(text) : std::string(text, length);
    const std::string& current = node->text();
    const gint at = std::clamp(*position, 0, characterCount(object));
    if (node->setText(substring(current, 0, at) + inserted + substring(current, at, -1)))
        *position = at + static_cast<gint>(g_utf8_strlen(inserted.c_str(), -1));
}

void editableDelete(AtkEditableText* object, gint start, gint end) {
    Node* node = nodeOf(object);
    if (!node)
        return;
    const std::string& current = node->text();
    node->setText(substring(current, 0, start) + substring(current, end, -1));
}

void editableInterfaceInit(AtkEditableTextIface* iface) {
    iface->set_text_contents = editableSetText;
    iface->insert_text = editableInsert;
    iface->delete_text = editableDelete;
}

void windowInterfaceInit(AtkWindowIface*) {
}

} // namespace

G_DEFINE_TYPE_WITH_CODE(PlatformAccessible, platform_accessible, ATK_TYPE_OBJECT,
                        G_IMPLEMENT_INTERFACE(ATK_TYPE_COMPONENT, componentInterfaceInit))

static void platform_accessible_init(PlatformAccessible* object) {
    object->node = nullptr;
}

static void platform_accessible_class_init(PlatformAccessibleClass* type) {
    AtkObjectClass* object = ATK_OBJECT_CLASS(type);
    object->get_name = objectName;
    object->get_description = objectDescription;
    object->get_n_children = objectChildCount;
    object->ref_child = objectChild;
    object->get_index_in_parent = objectIndexInParent;
    object->ref_state_set = objectStates;
    object->get_attributes = objectAttributes;
    // The signal a live region's announcement travels by, where ATK has none of its own yet.
    if (!g_signal_lookup("announcement", ATK_TYPE_OBJECT))
        g_signal_new("announcement", G_TYPE_FROM_CLASS(type), G_SIGNAL_RUN_LAST, 0, nullptr,
                     nullptr, nullptr, G_TYPE_NONE, 1, G_TYPE_STRING);
}

G_DEFINE_TYPE_WITH_CODE(PlatformAccessibleWindow, platform_accessible_window,
                        platform_accessible_get_type(),
                        G_IMPLEMENT_INTERFACE(ATK_TYPE_WINDOW, windowInterfaceInit))
static void platform_accessible_window_init(PlatformAccessibleWindow*) {
}
static void platform_accessible_window_class_init(PlatformAccessibleWindowClass*) {
}

G_DEFINE_TYPE_WITH_CODE(PlatformAccessibleButton, platform_accessible_button,
                        platform_accessible_get_type(),
                        G_IMPLEMENT_INTERFACE(ATK_TYPE_ACTION, actionInterfaceInit))
static void platform_accessible_button_init(PlatformAccessibleButton*) {
}
static void platform_accessible_button_class_init(PlatformAccessibleButtonClass*) {
}

G_DEFINE_TYPE_WITH_CODE(PlatformAccessibleText, platform_accessible_text,
                        platform_accessible_get_type(),
                        G_IMPLEMENT_INTERFACE(ATK_TYPE_TEXT, textInterfaceInit))
static void platform_accessible_text_init(PlatformAccessibleText*) {
}
static void platform_accessible_text_class_init(PlatformAccessibleTextClass*) {
}

G_DEFINE_TYPE_WITH_CODE(PlatformAccessibleEntry, platform_accessible_entry,
                        platform_accessible_text_get_type(),
                        G_IMPLEMENT_INTERFACE(ATK_TYPE_EDITABLE_TEXT, editableInterfaceInit))
static void platform_accessible_entry_init(PlatformAccessibleEntry*) {
}
static void platform_accessible_entry_class_init(PlatformAccessibleEntryClass*) {
}

namespace AccessibleObjects {

namespace {
GType typeOf(Kind kind) {
    switch (kind) {
    case Kind::Window:
        return platform_accessible_window_get_type();
    case Kind::Button:
        return platform_accessible_button_get_type();
    case Kind::Text:
        return platform_accessible_text_get_type();
    case Kind::Entry:
        return platform_accessible_entry_get_type();
    case Kind::Plain:
        break;
    }
    return platform_accessible_get_type();
}
} // namespace

AtkObject* make(Kind kind, AtkRole role, Node& node) {
    auto* object = ATK_OBJECT(g_object_new(typeOf(kind), nullptr));
    reinterpret_cast<PlatformAccessible*>(object)->node = &node;
    atk_object_initialize(object, nullptr);
    object->role = role;
    return object;
}

void detach(AtkObject* object) {
    reinterpret_cast<PlatformAccessible*>(object)->node = nullptr;
    atk_object_notify_state_change(object, ATK_STATE_DEFUNCT, TRUE);
}

void announce(AtkObject* object, const std::string& text) {
    g_signal_emit_by_name(object, "announcement", text.c_str());
}

} // namespace AccessibleObjects
