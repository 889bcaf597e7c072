#include "Foundation/NSCoder.h"
#include "Runtime/ClassRegistry.h"
#include "Runtime/Outlet.h"
#include "UIKit/UILabel.h"
#include "UIKit/UITextField.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A small class of the tests' own, declared to the runtime as an application's would be.
class Receiver : public NSObject {
  public:
    void setField(const std::shared_ptr<UITextField>& field) { m_field.set(field); }
    std::shared_ptr<UITextField> field() const { return m_field.get(); }
    void ping() { ++pings; }
    void pingFrom(const std::shared_ptr<NSObject>& sender) { lastSender = sender; }

    int pings = 0;
    std::shared_ptr<NSObject> lastSender;

  private:
    Outlet<UITextField> m_field;
};

const Runtime::Registration registration = Runtime::ClassDeclaration<Receiver>("test.Receiver")
                                               .outlet("setField:", &Receiver::setField)
                                               .action("ping", &Receiver::ping)
                                               .action("pingFrom:", &Receiver::pingFrom);

auto& registry = Runtime::ClassRegistry::shared();

TEST(ClassRegistry, createsClassesByTheirRuntimeName) {
    EXPECT_TRUE(
        std::dynamic_pointer_cast<Receiver>(registry.classNamed("test.Receiver")->create()));
    NSCoder coder(NSCoder::Values{{"text", "15"}});
    const auto field = registry.classNamed("UITextField")->createWithCoder(coder);
    ASSERT_TRUE(std::dynamic_pointer_cast<UITextField>(field));
    EXPECT_EQ(std::dynamic_pointer_cast<UITextField>(field)->text(), "15");
    EXPECT_EQ(Runtime::NSStringFromClass<Receiver>(), "test.Receiver");
    EXPECT_EQ(Runtime::NSStringFromClass<UILabel>(), "UILabel");
}

TEST(ClassRegistry, connectsOutletsOfTheRightTypeOnly) {
    Receiver receiver;
    const auto field = std::make_shared<UITextField>();
    EXPECT_EQ(registry.connectOutlet(receiver, "setField:", field), std::nullopt);
    EXPECT_EQ(receiver.field(), field);
    EXPECT_NE(registry.connectOutlet(receiver, "setField:", std::make_shared<UILabel>()),
              std::nullopt);
    EXPECT_EQ(receiver.field(), field);
    EXPECT_NE(registry.connectOutlet(receiver, "setNothing:", field), std::nullopt);
}

TEST(ClassRegistry, saysWhatItDoesNotKnowByName) {
    Receiver receiver;
    EXPECT_EQ(registry.classNamed("orvane.Nothing"), nullptr);
    EXPECT_EQ(registry.nameOf(typeid(int)), nullptr);
    EXPECT_EQ(registry.connectOutlet(receiver, "setNothing:", std::make_shared<UILabel>()),
              "test.Receiver has no outlet with setter 'setNothing:'");
    EXPECT_EQ(registry.connectOutlet(receiver, "setField:", std::make_shared<UILabel>()),
              "outlet 'setField:' of test.Receiver takes UITextField, not UILabel");
    EXPECT_EQ(registry.connectOutlet(receiver, "setField:", nullptr),
              "outlet 'setField:' of test.Receiver takes UITextField, not nil");
}

TEST(ClassRegistryDeathTest, sendingAnUnknownSelectorIsAProgrammingError) {
    Receiver receiver;
    EXPECT_DEATH(registry.perform(receiver, "pong", nullptr),
                 "Fatal error: unrecognized selector 'pong'");
}

TEST(ClassRegistry, performsActionsWithTheirSender) {
    Receiver receiver;
    const auto sender = std::make_shared<UILabel>();
    registry.perform(receiver, "ping", sender);
    registry.perform(receiver, "pingFrom:", sender);
    EXPECT_EQ(receiver.pings, 1);
    EXPECT_EQ(receiver.lastSender, sender);
    EXPECT_TRUE(registry.respondsToSelector(receiver, "ping"));
    EXPECT_FALSE(registry.respondsToSelector(receiver, "pong"));
}

TEST(Outlet, isWeakAndEmptiesWhenItsViewGoes) {
    Outlet<UILabel> outlet;
    auto label = std::make_shared<UILabel>();
    outlet.set(label);
    EXPECT_EQ(outlet.unwrap(), label);
    label.reset();
    EXPECT_EQ(outlet.get(), nullptr);
}

TEST(OutletDeathTest, unwrappingNothingStopsAtTheCallersLine) {
    Outlet<UILabel> outlet;
    const auto expected = [](int line) {
        return "^tests/RuntimeTests.cpp:" + std::to_string(line) +
               ": Fatal error: Unexpectedly found nil while implicitly unwrapping an Optional "
               "value\n";
    };
    const int line = __LINE__ + 1;
    EXPECT_DEATH(outlet.unwrap(), expected(line));
}

} // namespace
