#include "Runtime/ClassRegistry.h"

#include "Runtime/FatalError.h"

namespace Runtime {

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

const ClassInfo& ClassRegistry::classNamed(std::string_view name) const {
    const auto found = m_classesByName.find(std::string(name));
    if (found == m_classesByName.end())
        throw RuntimeError("unknown class '" + std::string(name) + "'");
    return found->second;
}

const ClassInfo& ClassRegistry::classOf(const NSObject& object) const {
    return classNamed(nameOf(typeid(object)));
}

const std::string& ClassRegistry::nameOf(std::type_index type) const {
    const auto found = m_namesByType.find(type);
    if (found == m_namesByType.end())
        throw RuntimeError(std::string("class ") + type.name() + " is not registered");
    return found->second;
}

void ClassRegistry::connectOutlet(NSObject& owner, std::string_view setter,
                                  const std::shared_ptr<NSObject>& value) const {
    const ClassInfo& ownerClass = classOf(owner);
    const auto outlet = ownerClass.outlets.find(setter);
    if (outlet == ownerClass.outlets.end())
        throw RuntimeError(ownerClass.name + " has no outlet with setter '" + std::string(setter) +
                           "'");
    if (!value || !outlet->second.connect(owner, value))
        throw RuntimeError("outlet '" + std::string(setter) + "' of " + ownerClass.name +
                           " takes " + nameOf(outlet->second.valueType) + ", not " +
                           (value ? nameOf(typeid(*value)) : std::string("nil")));
}

bool ClassRegistry::respondsToSelector(const NSObject& object, std::string_view selector) const {
    const auto found = m_namesByType.find(typeid(object));
    return found != m_namesByType.end() &&
           m_classesByName.at(found->second).actions.contains(selector);
}

void ClassRegistry::perform(NSObject& target, std::string_view selector,
                            const std::shared_ptr<NSObject>& sender) const {
    const ClassInfo& targetClass = classOf(target);
    const auto action = targetClass.actions.find(selector);
    if (action == targetClass.actions.end())
        throw RuntimeError(targetClass.name + " does not respond to '" + std::string(selector) +
                           "'");
    action->second(target, sender);
}

} // namespace Runtime
