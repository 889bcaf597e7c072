#pragma once

#include <atk/atk.h>

#include <string>
#include <vector>

// The ATK objects a screen reader's bus is shown: each answers every question by asking its
// node, which the bridge keeps as the last frame left the screen. An object outlives its node
// when a screen reader still holds it; it then answers as defunct.
namespace AccessibleObjects {

// What one object stands for and what it can do.
class Node {
  public:
    virtual ~Node() = default;

    virtual const std::string& name() const = 0;
    virtual const std::string& description() const = 0;
    // What it reads as (a field's text, a label's words); empty for what holds no text.
    virtual const std::string& text() const = 0;
    virtual std::vector<AtkObject*> children() const = 0;
    virtual void addStates(AtkStateSet* states) const = 0;
    // Name and value pairs (a heading's level, a live region's politeness).
    virtual std::vector<std::pair<std::string, std::string>> attributes() const = 0;
    // In pixels, on the screen or in the window.
    virtual AtkRectangle extents(AtkCoordType coordinates) const = 0;

    // A screen reader's requests; each is carried out later, between events, and says now
    // whether it will be tried.
    virtual bool grabFocus() = 0;
    virtual bool activate() = 0;
    virtual bool setText(std::string text) = 0;
};

// How an object is offered: which of ATK's interfaces it answers.
enum class Kind {
    Plain,  // the application, a notification
    Window, // a frame, with the window's signals
    Button, // one action
    Text,   // text to read
    Entry,  // text to read and to set
};

// A new object, holding one reference for the caller, answering for the node until detached.
AtkObject* make(Kind kind, AtkRole role, Node& node);
// The node is gone: the object answers as defunct from now on.
void detach(AtkObject* object);

// A text said aloud once, as a live region announces, whatever its content was before.
void announce(AtkObject* object, const std::string& text);

} // namespace AccessibleObjects
