// The main screen laid out on the phones it is made for, from the smallest to the largest,
// with the keyboard down and up, read from the view tree the program dumps.
#include "OrvaneProcess.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <sstream>

namespace {

struct Rect {
    double x, y, width, height;
    double right() const { return x + width; }
    double bottom() const { return y + height; }
    bool inside(const Rect& outer) const {
        return x >= outer.x && y >= outer.y && right() <= outer.right() &&
               bottom() <= outer.bottom();
    }
    bool overlaps(const Rect& other) const {
        return x < other.right() && other.x < right() && y < other.bottom() && other.y < bottom();
    }
};

std::ostream& operator<<(std::ostream& os, const Rect& r) {
    return os << "(" << r.x << ", " << r.y << ", " << r.width << ", " << r.height << ")";
}

struct DumpedView {
    std::string name; // the identifier, else the class
    Rect frame;       // in window points
    int depth;
    bool shown;
    std::string parent;
};

// The dump's lines as views with their frames in window points; views inside a hidden one
// are not shown.
std::vector<DumpedView> parseDump(const std::string& dump) {
    const std::regex line(R"(^( *)(\S+)(?: #(\S+))? \(([-0-9.e]+), ([-0-9.e]+), ([-0-9.e]+), )"
                          R"(([-0-9.e]+)\)(?: scrolled \(([-0-9.e]+), ([-0-9.e]+)\))?( hidden)?)");
    std::vector<DumpedView> views;
    struct Parent {
        Rect frame; // in the window
        bool shown;
        std::string name;
    };
    std::vector<Parent> parents;
    std::istringstream lines(dump);
    for (std::string text; std::getline(lines, text);) {
        std::smatch match;
        if (!std::regex_search(text, match, line))
            continue;
        const int depth = static_cast<int>(match[1].length() / 2);
        parents.resize(static_cast<std::size_t>(depth));
        const Parent parent = depth ? parents.back() : Parent{{0, 0, 0, 0}, true, ""};
        const Rect frame{parent.frame.x + std::stod(match[4]), parent.frame.y + std::stod(match[5]),
                         std::stod(match[6]), std::stod(match[7])};
        const bool shown = parent.shown && !match[10].matched;
        const std::string name = match[3].matched ? match[3].str() : match[2].str();
        views.push_back({name, frame, depth, shown, parent.name});
        // What lies inside a scrolled view moves up (or left) by as much.
        const Rect inside{frame.x - (match[8].matched ? std::stod(match[8]) : 0),
                          frame.y - (match[9].matched ? std::stod(match[9]) : 0), frame.width,
                          frame.height};
        parents.push_back({inside, shown, parent.name == "content" ? "root" : name});
    }
    return views;
}

struct LayoutCase {
    const char* name;
    std::string size;
    double width, height;
};

void PrintTo(const LayoutCase& c, std::ostream* os) {
    *os << c.name;
}

class PhoneLayout : public testing::TestWithParam<LayoutCase> {
  protected:
    std::vector<DumpedView> screenAfter(const std::string& script) {
        const auto result = runOrvane({"--ui", "headless", "--size", GetParam().size},
                                      script + "dump\n", {"LC_ALL=en_US.UTF-8"});
        EXPECT_EQ(result.status, 0) << result.errors;
        return parseDump(result.output);
    }
    const DumpedView& named(const std::vector<DumpedView>& views, const std::string& name) {
        for (const auto& view : views)
            if (view.name == name)
                return view;
        ADD_FAILURE() << "no view " << name;
        return views.front();
    }
    Rect screen() const { return {0, 0, GetParam().width, GetParam().height}; }
};

TEST_P(PhoneLayout, keepsEveryViewOnScreenAndApart) {
    const auto views = screenAfter("tap wage\ntype 15\ntap price\ntype 100\ntap calculate\n");
    // What a person reads and taps: the screen's views, the groups that hold some of them
    // looked into.
    const std::set<std::string> groups{"root", "below", "answer", "reading"};
    std::vector<DumpedView> content;
    for (const auto& view : views) {
        if (view.shown && view.frame.width > 0) {
            EXPECT_TRUE(view.frame.inside(screen())) << view.name << " at " << view.frame;
        }
        if (groups.contains(view.parent) && !groups.contains(view.name))
            content.push_back(view);
    }
    ASSERT_GE(content.size(), 9u);
    for (std::size_t i = 0; i < content.size(); ++i)
        for (std::size_t j = i + 1; j < content.size(); ++j)
            EXPECT_FALSE(content[i].frame.overlaps(content[j].frame))
                << content[i].name << " " << content[i].frame << " overlaps " << content[j].name
                << " " << content[j].frame;
}

TEST_P(PhoneLayout, theKeyboardSpansTheScreenBelowTheFields) {
    const auto views = screenAfter("tap price\n");
    const auto& keyboard = named(views, "UIKeyboard");
    EXPECT_EQ(keyboard.frame.width, GetParam().width);
    EXPECT_EQ(keyboard.frame.bottom(), GetParam().height);
    const auto& bar = named(views, "orvane.CalcBtn");
    EXPECT_EQ(bar.frame.width, named(views, "UIView").frame.width);
    EXPECT_EQ(bar.frame.width, GetParam().width);
    for (const char* field : {"wage", "price"})
        EXPECT_LE(named(views, field).frame.bottom(), keyboard.frame.y) << field;
    for (const auto& view : views)
        if (view.name.starts_with("key") || view.name == "delete") {
            EXPECT_TRUE(view.frame.inside(keyboard.frame)) << view.name << " " << view.frame;
        }
}

INSTANTIATE_TEST_SUITE_P(Phones, PhoneLayout,
                         testing::Values(LayoutCase{"smallest", "320x568", 320, 568},
                                         LayoutCase{"classic", "375x667", 375, 667},
                                         LayoutCase{"largest", "430x932", 430, 932}));

} // namespace
