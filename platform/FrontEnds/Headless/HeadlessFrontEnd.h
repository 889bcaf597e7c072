#pragma once

#include "FrontEnds/FrontEnd.h"

#include <iosfwd>
#include <string>
#include <string_view>

class UIView;

// Runs the real display cycle without a screen, driven by a script of one command a line,
// the way a UI test runner drives a phone:
//   tap NAME | tap X Y      a whole touch at a view's center, or at a point
//   type TEXT               the rest of the line into the field being edited
//   delete [N]              N characters backward (1 by default)
//   print NAME | keyboard   what a view shows, "(hidden)", or "up" / "down"
//   dump                    the view tree
// Lines starting with # are comments. A command that cannot be carried out ends the run
// with "orvane: line N: MESSAGE" and status 1.
class HeadlessFrontEnd : public FrontEnd {
  public:
    HeadlessFrontEnd(std::istream& script, std::ostream& output);
    int run(UIApplication& application, UIWindow& window) override;

  private:
    void execute(UIWindow& window, std::string_view command, std::string_view argument);
    void tap(UIWindow& window, std::string_view argument);
    void print(UIWindow& window, std::string_view name);
    UIView& viewNamed(UIWindow& window, std::string_view name);

    std::istream& m_script;
    std::ostream& m_output;
};
