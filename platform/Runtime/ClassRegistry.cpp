#include "Runtime/ClassRegistry.h"

#include "Runtime/FatalError.h"

namespace Runtime {

ClassInfo::ClassInfo() = default;
ClassInfo::ClassInfo(ClassInfo&&) noexcept = default;
ClassInfo::~ClassInfo() = default;

ClassRegistry& ClassRegistry::shared() {
    static ClassRegistry registry;
    return registry;
}

void ClassRegistry::add(ClassInfo info) {
    if (m_classesByName.contains(info.name))
        fatalError("class " + info.name + " is registered twice");
    m_namesByType.emplace(info.type, info.name);
    auto name = info.name;
    m_classesByName.emplace(std::move(name), std::move(info));
}

const ClassInfo* ClassRegistry::classNamed(std::string_view name) const {
    const auto found = m_classesByName.find(name);
    return found == m_classesByName.end() ? nullptr : &found->second;
}

const ClassInfo* ClassRegistry::classOf(const NSObject& object) const {
    const std::string* name = nameOf(typeid(object));
    return name ? classNamed(*name) : nullptr;
}

const std::string* ClassRegistry::nameOf(std::type_index type) const {
    const auto found = m_namesByType.find(type);
    return found == m_namesByType.end() ? nullptr : &found->second;
}

std::optional<std::string>
ClassRegistry::connectOutlet(NSObject& owner, std::string_view setter,
                             const std::shared_ptr<NSObject>& value) const {
    const ClassInfo* ownerClass = classOf(owner);
    if (!ownerClass)
        return std::string("the owner's class is not registered");
    const auto outlet = ownerClass->outlets.find(setter);
    if (outlet == ownerClass->outlets.end())
        return ownerClass->name + " has no outlet with setter '" + std::string(setter) + "'";
    if (value && outlet->second.connect(owner, value))
        return std::nullopt;
    const NSObject* object = value.get();
    const std::string* valueName = object ? nameOf(typeid(*object)) : nullptr;
    const std::string* expectedName = nameOf(outlet->second.valueType);
    return "outlet '" + std::string(setter) + "' of " + ownerClass->name + " takes " +
           (expectedName ? *expectedName : "another class") + ", not " +
           (valueName ? *valueName : std::string(value ? "an unregistered class" : "nil"));
}

bool ClassRegistry::respondsToSelector(const NSObject& object, std::string_view selector) const {
    const ClassInfo* info = classOf(object);
    return info && info->actions.contains(selector);
}

void ClassRegistry::perform(NSObject& target, std::string_view selector,
                            const std::shared_ptr<NSObject>& sender) const {
    if (const ClassInfo* targetClass = classOf(target)) {
        const auto action = targetClass->actions.find(selector);
        if (action != targetClass->actions.end())
            return action->second(target, sender);
    }
    fatalError("unrecognized selector '" + std::string(selector) + "' sent to an object");
}

} // namespace Runtime
