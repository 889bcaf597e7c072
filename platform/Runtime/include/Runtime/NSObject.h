#pragma once

#include <memory>

// The root of every class the runtime can create by name, connect and send actions to.
class NSObject : public std::enable_shared_from_this<NSObject> {
  public:
    virtual ~NSObject() = default;

    // Sent once to each object an interface file created, after all of them are connected.
    virtual void awakeFromNib() {}
    // Sent by the interface design tool instead of awakeFromNib.
    virtual void prepareForInterfaceBuilder() {}

  protected:
    NSObject() = default;
    NSObject(const NSObject&) = delete;
    NSObject& operator=(const NSObject&) = delete;
};
