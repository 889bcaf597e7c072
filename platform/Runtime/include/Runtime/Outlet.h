#pragma once

#include "Runtime/FatalError.h"

#include <memory>
#include <source_location>

// A weak reference into the view tree, read through an unwrapping call that treats an
// empty outlet as a programming error at the caller's line.
template <class T> class Outlet {
  public:
    void set(const std::shared_ptr<T>& object) { m_object = object; }
    std::shared_ptr<T> get() const { return m_object.lock(); }

    std::shared_ptr<T>
    unwrap(std::source_location location = std::source_location::current()) const {
        auto object = m_object.lock();
        if (!object)
            fatalError("Unexpectedly found nil while implicitly unwrapping an Optional value",
                       location);
        return object;
    }

  private:
    std::weak_ptr<T> m_object;
};
