#include "UIKit/UIStoryboard.h"

#include "Foundation/NSCoder.h"
#include "InterfaceFile.h"
#include "Runtime/ClassRegistry.h"
#include "Runtime/Error.h"
#include "UIKit/UIControl.h"

#include <map>
#include <vector>

namespace {

enum class Awakening { AwakeFromNib, PrepareForInterfaceBuilder };

struct Scene {
    std::shared_ptr<UIViewController> controller;
    std::shared_ptr<UIView> rootView;
};

struct Connection {
    const InterfaceElement* element;
    std::shared_ptr<NSObject> owner;
};

// One pass over the document, collecting objects and connections before making any of them.
class Loader {
  public:
    explicit Loader(const std::string& path) : m_path(path) {}

    Scene load(const InterfaceElement& root, Awakening awakening);

  private:
    [[noreturn]] void fail(const InterfaceElement& element, const std::string& message) const;
    std::shared_ptr<NSObject> decode(const InterfaceElement& element);
    std::shared_ptr<UIView> decodeView(const InterfaceElement& element);
    void decodeChildren(const InterfaceElement& element, const std::shared_ptr<NSObject>& owner,
                        const std::shared_ptr<UIView>& view);
    std::shared_ptr<NSObject> destination(const InterfaceElement& element) const;
    void connectOutlet(const Connection& outlet) const;
    void connectAction(const Connection& action) const;

    const std::string& m_path;
    std::vector<std::shared_ptr<NSObject>> m_objects;
    std::map<std::string, std::shared_ptr<NSObject>, std::less<>> m_objectsById;
    std::vector<Connection> m_outlets;
    std::vector<Connection> m_actions;
    int m_depth = 0;
};

// Deeper trees than any screen needs are refused rather than recursed into.
constexpr int maximumViewDepth = 64;

std::string setterFor(std::string_view property) {
    std::string setter = "set" + std::string(property) + ":";
    setter[3] = static_cast<char>(std::toupper(static_cast<unsigned char>(setter[3])));
    return setter;
}

std::optional<UIControlEvents> controlEventNamed(std::string_view name) {
    if (name == "touchUpInside")
        return UIControlEventTouchUpInside;
    if (name == "touchDown")
        return UIControlEventTouchDown;
    if (name == "touchUpOutside")
        return UIControlEventTouchUpOutside;
    return std::nullopt;
}

// An attribute's value, empty when the element has none.
std::string attributeOf(const InterfaceElement& element, std::string_view key) {
    const auto* value = element.attribute(key);
    return value ? *value : std::string();
}

void Loader::fail(const InterfaceElement& element, const std::string& message) const {
    failInterfaceFile(m_path, element.line, message);
}

Scene Loader::load(const InterfaceElement& root, Awakening awakening) {
    if (root.name != "document")
        fail(root, "the root element must be <document>, not <" + root.name + ">");
    const auto* scene = root.child("viewController");
    if (!scene)
        fail(root, "the document has no <viewController>");
    for (const auto& child : root.children)
        if (&child != scene)
            fail(child, "unexpected <" + child.name + "> in <document>");

    auto controller = std::dynamic_pointer_cast<UIViewController>(decode(*scene));
    if (!controller)
        fail(*scene, attributeOf(*scene, "class") + " is not a view controller");
    std::shared_ptr<UIView> rootView;
    for (const auto& child : scene->children) {
        if (child.name != "view")
            continue;
        if (rootView)
            fail(child, "a view controller has one root <view>");
        rootView = decodeView(child);
    }
    decodeChildren(*scene, controller, nullptr);
    for (const auto& outlet : m_outlets)
        connectOutlet(outlet);
    for (const auto& action : m_actions)
        connectAction(action);

    if (rootView)
        controller->setView(rootView);
    for (const auto& object : m_objects) {
        if (awakening == Awakening::AwakeFromNib)
            object->awakeFromNib();
        else
            object->prepareForInterfaceBuilder();
    }
    return {controller, rootView};
}

std::shared_ptr<NSObject> Loader::decode(const InterfaceElement& element) {
    const std::string className = attributeOf(element, "class");
    if (className.empty())
        fail(element, "<" + element.name + "> has no class");
    NSCoder::Values values;
    for (const auto& [name, value] : element.attributes)
        if (name != "class" && name != "id")
            values.emplace(name, value);
    NSCoder coder(std::move(values));
    const Runtime::ClassInfo* info = Runtime::ClassRegistry::shared().classNamed(className);
    if (!info)
        fail(element, "unknown class '" + className + "'");
    if (!info->createWithCoder)
        fail(element, className + " cannot be created from an interface file");
    auto object = info->createWithCoder(coder);
    if (const auto& error = coder.error())
        fail(element, className + ": " + *error);
    if (const auto unused = coder.unusedKeys(); !unused.empty())
        fail(element, className + " has no attribute '" + unused.front() + "'");
    if (const auto* id = element.attribute("id")) {
        if (!m_objectsById.emplace(*id, object).second)
            fail(element, "the id '" + *id + "' is used twice");
    }
    m_objects.push_back(object);
    return object;
}

std::shared_ptr<UIView> Loader::decodeView(const InterfaceElement& element) {
    if (m_depth == maximumViewDepth)
        fail(element, "views nest deeper than " + std::to_string(maximumViewDepth) + " levels");
    ++m_depth;
    auto view = std::dynamic_pointer_cast<UIView>(decode(element));
    if (!view)
        fail(element, attributeOf(element, "class") + " is not a view");
    decodeChildren(element, view, view);
    --m_depth;
    return view;
}

void Loader::decodeChildren(const InterfaceElement& element, const std::shared_ptr<NSObject>& owner,
                            const std::shared_ptr<UIView>& view) {
    for (const auto& child : element.children) {
        if (child.name == "outlet")
            m_outlets.push_back({&child, owner});
        else if (child.name == "action")
            m_actions.push_back({&child, owner});
        else if (child.name == "view" && view)
            view->addSubview(decodeView(child));
        else if (child.name != "view")
            fail(child, "unexpected <" + child.name + "> in <" + element.name + ">");
    }
}

std::shared_ptr<NSObject> Loader::destination(const InterfaceElement& element) const {
    const std::string id = attributeOf(element, "destination");
    const auto found = m_objectsById.find(id);
    if (found == m_objectsById.end())
        fail(element, "no object has the id '" + id + "'");
    return found->second;
}

void Loader::connectOutlet(const Connection& outlet) const {
    const std::string property = attributeOf(*outlet.element, "property");
    if (property.empty())
        fail(*outlet.element, "<outlet> has no property");
    if (const auto problem = Runtime::ClassRegistry::shared().connectOutlet(
            *outlet.owner, setterFor(property), destination(*outlet.element)))
        fail(*outlet.element, *problem);
}

void Loader::connectAction(const Connection& action) const {
    const auto control = std::dynamic_pointer_cast<UIControl>(action.owner);
    if (!control)
        fail(*action.element, "only a control sends actions");
    const std::string selector = attributeOf(*action.element, "selector");
    const auto target = destination(*action.element);
    if (!Runtime::ClassRegistry::shared().respondsToSelector(*target, selector))
        fail(*action.element, "the destination does not respond to '" + selector + "'");
    const auto* eventName = action.element->attribute("event");
    const auto event = controlEventNamed(eventName ? *eventName : "touchUpInside");
    if (!event)
        fail(*action.element, "unknown event '" + *eventName + "'");
    control->addTarget(target, selector, *event);
}

} // namespace

std::shared_ptr<UIViewController>
UIStoryboard::instantiateInitialViewController(std::string_view contents, const std::string& path) {
    const auto root = readInterfaceFile(contents, path);
    return Loader(path).load(root, Awakening::AwakeFromNib).controller;
}

std::shared_ptr<UIView>
UIStoryboard::instantiateInitialViewForInterfaceBuilder(std::string_view contents,
                                                        const std::string& path) {
    const auto root = readInterfaceFile(contents, path);
    return Loader(path).load(root, Awakening::PrepareForInterfaceBuilder).rootView;
}

std::vector<std::string> UIStoryboard::leafViewIdentifiers(std::string_view contents) {
    std::vector<std::string> identifiers;
    const auto walk = [&](const InterfaceElement& element, const auto& self) -> void {
        const auto* identifier = element.attribute("accessibilityIdentifier");
        if (element.name == "view" && !element.child("view") && identifier)
            identifiers.push_back(*identifier);
        for (const auto& child : element.children)
            self(child, self);
    };
    return Runtime::handlingErrors(
        [&] {
            walk(readInterfaceFile(contents, "interface file"), walk);
            return identifiers;
        },
        [](const std::exception&) { return std::vector<std::string>(); });
}
