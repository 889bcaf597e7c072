#pragma once

#include "FrontEnds/FrontEnd.h"
#include "FrontEnds/Modules.h"
#include "FrontEnds/PlatformOptions.h"
#include "Headless/ScriptReader.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

class UIView;

// Runs the real display cycle without a screen, driven by a script of one command a line,
// the way a UI test runner drives a phone:
//   tap NAME | tap X Y      a whole touch at a view's center (scrolled into sight), or at a
//                           point
//   type TEXT               the rest of the line into the field being edited
//   delete [N]              N characters backward (1 by default)
//   press KEY               a hardware key: Tab, Shift-Tab, Enter, Space, Escape, Backspace,
//                           Delete, Up, Down, PageUp, PageDown or a character, after any of
//                           Shift-, Ctrl-, Alt- and Meta- held with it
//   wheel X Y N             the mouse's wheel at a point, N lines (negative up)
//   input TEXT              the rest of the line as a hardware keyboard or a paste gives it
//   state STATE             the life cycle: active, inactive (without the focus) or
//                           background
//   print NAME | keyboard   what a view shows, "(hidden)", or "up" / "down"
//   dump                    the view tree, the focus and the life cycle's state
//   snapshot FILE           what the screen shows, as a PNG at the front end's scale
// Lines starting with # are comments. A command that cannot be carried out ends the run with
// the error "line N: MESSAGE".
class HeadlessFrontEnd : public FrontEnd {
  public:
    explicit HeadlessFrontEnd(const PlatformOptions& options);
    ~HeadlessFrontEnd() override;
    UIHostFeatures features() const override;
    UIApplicationEnding run(UIHostSession& session) override;

  private:
    void execute(UIHostSession& session, std::string_view command, std::string_view argument);
    void tap(UIHostSession& session, std::string_view argument);
    void press(UIHostSession& session, std::string_view argument);
    void wheel(UIHostSession& session, std::string_view argument);
    void print(UIWindow& window, std::string_view name);
    void snapshot(UIHostSession& session, const std::string& path);

    ScriptReader m_script;
    double m_scale;
    std::optional<std::string> m_finalSnapshotPath;
    std::unique_ptr<Modules::SnapshotPainter> m_painter;
};
