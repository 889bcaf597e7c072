#pragma once

#include "Runtime/FatalError.h"
#include "Runtime/NSObject.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <typeindex>

class NSCoder;

namespace Runtime {

using Selector = std::string;

// What the runtime knows of one class: how to make it, and what can be connected to it.
struct ClassInfo {
    struct Outlet {
        std::type_index valueType;
        // False when the value is not of valueType.
        std::function<bool(NSObject& self, const std::shared_ptr<NSObject>& value)> connect;
    };
    using Action = std::function<void(NSObject& self, const std::shared_ptr<NSObject>& sender)>;

    std::string name;
    std::type_index type = typeid(void);
    std::function<std::shared_ptr<NSObject>()> create;
    std::function<std::shared_ptr<NSObject>(NSCoder&)> createWithCoder;
    std::map<Selector, Outlet, std::less<>> outlets;
    std::map<Selector, Action, std::less<>> actions;

    // Made and dropped in one place rather than inline beside every class's registration.
    ClassInfo();
    ClassInfo(ClassInfo&&) noexcept;
    ~ClassInfo();
};

// Every registered class, by runtime name and by C++ type. One per process.
class ClassRegistry {
  public:
    static ClassRegistry& shared();

    void add(ClassInfo info);
    // Null when no class has that name, or that type was never registered.
    const ClassInfo* classNamed(std::string_view name) const;
    const ClassInfo* classOf(const NSObject& object) const;
    const std::string* nameOf(std::type_index type) const;

    // Connects an outlet through its setter selector ("setTitleLbl:"); what went wrong when
    // the class has no such outlet or the value is of another type.
    std::optional<std::string> connectOutlet(NSObject& owner, std::string_view setter,
                                             const std::shared_ptr<NSObject>& value) const;
    bool respondsToSelector(const NSObject& object, std::string_view selector) const;
    // Sending a selector the target does not answer is a programming error.
    void perform(NSObject& target, std::string_view selector,
                 const std::shared_ptr<NSObject>& sender) const;

  private:
    ClassRegistry() = default;
    // Ordered maps: a few dozen classes, found by a name's view without copying it, and no
    // hash tables' code in the program for them alone.
    std::map<std::string, ClassInfo, std::less<>> m_classesByName;
    std::map<std::type_index, std::string> m_namesByType;
};

// The declaration of one class: its runtime name, outlets and actions, written beside it.
template <class T> class ClassDeclaration {
  public:
    explicit ClassDeclaration(std::string name) {
        m_info.name = std::move(name);
        m_info.type = typeid(T);
        if constexpr (std::is_default_constructible_v<T>)
            m_info.create = [] { return std::make_shared<T>(); };
        if constexpr (std::is_constructible_v<T, NSCoder&>)
            m_info.createWithCoder = [](NSCoder& coder) { return std::make_shared<T>(coder); };
    }

    template <class Value>
    ClassDeclaration&& outlet(Selector setter,
                              void (T::*method)(const std::shared_ptr<Value>&)) && {
        auto connect = [method](NSObject& self, const std::shared_ptr<NSObject>& value) {
            auto typed = std::dynamic_pointer_cast<Value>(value);
            if (!typed)
                return false;
            (static_cast<T&>(self).*method)(typed);
            return true;
        };
        m_info.outlets.insert_or_assign(std::move(setter),
                                        ClassInfo::Outlet{typeid(Value), connect});
        return std::move(*this);
    }

    ClassDeclaration&& action(Selector selector, void (T::*method)()) && {
        m_info.actions[std::move(selector)] = [method](NSObject& self,
                                                       const std::shared_ptr<NSObject>&) {
            (static_cast<T&>(self).*method)();
        };
        return std::move(*this);
    }

    ClassDeclaration&& action(Selector selector,
                              void (T::*method)(const std::shared_ptr<NSObject>&)) && {
        m_info.actions[std::move(selector)] = [method](NSObject& self,
                                                       const std::shared_ptr<NSObject>& sender) {
            (static_cast<T&>(self).*method)(sender);
        };
        return std::move(*this);
    }

    ClassInfo take() && { return std::move(m_info); }

  private:
    ClassInfo m_info;
};

// Registers a declaration when constructed; one such constant stands beside each class.
class Registration {
  public:
    template <class T> Registration(ClassDeclaration<T>&& declaration) { // NOLINT: implicit
        ClassRegistry::shared().add(std::move(declaration).take());
    }
};

// The runtime name of a class, as an interface file or UIApplicationMain names it; asking for
// a class that was never registered is a programming error.
template <class T> const std::string& NSStringFromClass() {
    const std::string* name = ClassRegistry::shared().nameOf(typeid(T));
    if (!name)
        fatalError(std::string("class ") + typeid(T).name() + " is not registered");
    return *name;
}

} // namespace Runtime
