#include "UIKit/UIStoryboard.h"

#include "Foundation/NSCoder.h"
#include "Runtime/ClassRegistry.h"
#include "Runtime/Error.h"
#include "UIKit/UIControl.h"

#include <pugixml.hpp>

#include <algorithm>
#include <map>
#include <vector>

namespace {

enum class Awakening { AwakeFromNib, PrepareForInterfaceBuilder };

struct Scene {
    std::shared_ptr<UIViewController> controller;
    std::shared_ptr<UIView> rootView;
};

struct Connection {
    pugi::xml_node element;
    std::shared_ptr<NSObject> owner;
};

// One pass over the document, collecting objects and connections before making any of them.
class Loader {
  public:
    Loader(std::string_view contents, const std::string& path)
        : m_contents(contents), m_path(path) {}

    Scene load(Awakening awakening);

  private:
    [[noreturn]] void fail(const pugi::xml_node& node, const std::string& message) const;
    std::size_t lineOf(std::ptrdiff_t offset) const;
    std::shared_ptr<NSObject> decode(const pugi::xml_node& element);
    std::shared_ptr<UIView> decodeView(const pugi::xml_node& element);
    void decodeChildren(const pugi::xml_node& element, const std::shared_ptr<NSObject>& owner,
                        const std::shared_ptr<UIView>& view);
    std::shared_ptr<NSObject> destination(const pugi::xml_node& element) const;
    void connectOutlet(const Connection& outlet) const;
    void connectAction(const Connection& action) const;

    std::string_view m_contents;
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

void Loader::fail(const pugi::xml_node& node, const std::string& message) const {
    Runtime::raise(UIStoryboard::LoadError(
        m_path + ":" + std::to_string(lineOf(node.offset_debug())) + ": " + message));
}

std::size_t Loader::lineOf(std::ptrdiff_t offset) const {
    const auto end =
        m_contents.begin() +
        std::clamp<std::ptrdiff_t>(offset, 0, static_cast<std::ptrdiff_t>(m_contents.size()));
    return 1 + static_cast<std::size_t>(std::count(m_contents.begin(), end, '\n'));
}

Scene Loader::load(Awakening awakening) {
    pugi::xml_document document;
    const auto parsed = document.load_buffer(m_contents.data(), m_contents.size(),
                                             pugi::parse_default, pugi::encoding_utf8);
    if (!parsed)
        Runtime::raise(UIStoryboard::LoadError(m_path + ":" +
                                               std::to_string(lineOf(parsed.offset)) +
                                               ": malformed XML: " + parsed.description()));
    const auto root = document.document_element();
    if (std::string_view(root.name()) != "document")
        fail(root, "the root element must be <document>, not <" + std::string(root.name()) + ">");
    const auto scene = root.child("viewController");
    if (!scene)
        fail(root, "the document has no <viewController>");
    for (const auto& child : root.children())
        if (child.type() == pugi::node_element && child != scene)
            fail(child, "unexpected <" + std::string(child.name()) + "> in <document>");

    auto controller = std::dynamic_pointer_cast<UIViewController>(decode(scene));
    if (!controller)
        fail(scene, std::string(scene.attribute("class").value()) + " is not a view controller");
    std::shared_ptr<UIView> rootView;
    for (const auto& child : scene.children("view")) {
        if (rootView)
            fail(child, "a view controller has one root <view>");
        rootView = decodeView(child);
    }
    decodeChildren(scene, controller, nullptr);
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

std::shared_ptr<NSObject> Loader::decode(const pugi::xml_node& element) {
    const std::string className = element.attribute("class").value();
    if (className.empty())
        fail(element, "<" + std::string(element.name()) + "> has no class");
    NSCoder::Values values;
    for (const auto& attribute : element.attributes())
        if (std::string_view(attribute.name()) != "class" &&
            std::string_view(attribute.name()) != "id")
            values.emplace(attribute.name(), attribute.value());
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
    if (const auto id = element.attribute("id")) {
        if (!m_objectsById.emplace(id.value(), object).second)
            fail(element, "the id '" + std::string(id.value()) + "' is used twice");
    }
    m_objects.push_back(object);
    return object;
}

std::shared_ptr<UIView> Loader::decodeView(const pugi::xml_node& element) {
    if (m_depth == maximumViewDepth)
        fail(element, "views nest deeper than " + std::to_string(maximumViewDepth) + " levels");
    ++m_depth;
    auto view = std::dynamic_pointer_cast<UIView>(decode(element));
    if (!view)
        fail(element, std::string(element.attribute("class").value()) + " is not a view");
    decodeChildren(element, view, view);
    --m_depth;
    return view;
}

void Loader::decodeChildren(const pugi::xml_node& element, const std::shared_ptr<NSObject>& owner,
                            const std::shared_ptr<UIView>& view) {
    for (const auto& child : element.children()) {
        if (child.type() != pugi::node_element)
            continue;
        const std::string_view name = child.name();
        if (name == "outlet")
            m_outlets.push_back({child, owner});
        else if (name == "action")
            m_actions.push_back({child, owner});
        else if (name == "view" && view)
            view->addSubview(decodeView(child));
        else if (name != "view")
            fail(child, "unexpected <" + std::string(name) + "> in <" + element.name() + ">");
    }
}

std::shared_ptr<NSObject> Loader::destination(const pugi::xml_node& element) const {
    const std::string_view id = element.attribute("destination").value();
    const auto found = m_objectsById.find(id);
    if (found == m_objectsById.end())
        fail(element, "no object has the id '" + std::string(id) + "'");
    return found->second;
}

void Loader::connectOutlet(const Connection& outlet) const {
    const std::string_view property = outlet.element.attribute("property").value();
    if (property.empty())
        fail(outlet.element, "<outlet> has no property");
    if (const auto problem = Runtime::ClassRegistry::shared().connectOutlet(
            *outlet.owner, setterFor(property), destination(outlet.element)))
        fail(outlet.element, *problem);
}

void Loader::connectAction(const Connection& action) const {
    const auto control = std::dynamic_pointer_cast<UIControl>(action.owner);
    if (!control)
        fail(action.element, "only a control sends actions");
    const std::string selector = action.element.attribute("selector").value();
    const auto target = destination(action.element);
    if (!Runtime::ClassRegistry::shared().respondsToSelector(*target, selector))
        fail(action.element, "the destination does not respond to '" + selector + "'");
    const auto event =
        controlEventNamed(action.element.attribute("event").as_string("touchUpInside"));
    if (!event)
        fail(action.element,
             "unknown event '" + std::string(action.element.attribute("event").value()) + "'");
    control->addTarget(target, selector, *event);
}

} // namespace

std::shared_ptr<UIViewController>
UIStoryboard::instantiateInitialViewController(std::string_view contents, const std::string& path) {
    return Loader(contents, path).load(Awakening::AwakeFromNib).controller;
}

std::shared_ptr<UIView>
UIStoryboard::instantiateInitialViewForInterfaceBuilder(std::string_view contents,
                                                        const std::string& path) {
    return Loader(contents, path).load(Awakening::PrepareForInterfaceBuilder).rootView;
}

std::vector<std::string> UIStoryboard::leafViewIdentifiers(std::string_view contents) {
    pugi::xml_document document;
    if (!document.load_buffer(contents.data(), contents.size(), pugi::parse_default,
                              pugi::encoding_utf8))
        return {};
    std::vector<std::string> identifiers;
    const auto walk = [&](const pugi::xml_node& node, const auto& self) -> void {
        for (const auto& child : node.children()) {
            if (child.type() != pugi::node_element)
                continue;
            const bool isLeafView =
                std::string_view(child.name()) == "view" && !child.child("view");
            if (isLeafView && child.attribute("accessibilityIdentifier"))
                identifiers.emplace_back(child.attribute("accessibilityIdentifier").value());
            self(child, self);
        }
    };
    walk(document, walk);
    return identifiers;
}
