// The window layouts as both front ends read them: every control placed once, inside its
// frame, without overlapping its neighbours.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "activity/ActivityModel.h"
#include "controller/AboutModel.h"
#include "controller/MainModel.h"
#include "controller/SplashModel.h"
#include "controller/WindowLayout.h"

namespace relaydeck {
namespace {

struct Window {
    const char* name;
    const WindowLayout& layout;
    std::span<const ControlDefinition> controls;
};

std::vector<Window> windows() {
    return {{"main", mainLayout(), mainControlDefinitions()},
            {"splash", splashLayout(), splashControlDefinitions()},
            {"about", aboutLayout(), aboutControlDefinitions()},
            {"activity", activityLayout(), activityControlDefinitions()}};
}

bool overlaps(const TwipsRect& a, const TwipsRect& b) {
    return a.left < b.right() && b.left < a.right() && a.top < b.bottom() && b.top < a.bottom();
}

bool inside(const TwipsRect& inner, int width, int height) {
    return inner.left >= 0 && inner.top >= 0 && inner.right() <= width &&
           (height == 0 || inner.bottom() <= height);
}

TEST(WindowLayout, EveryControlExceptMenuEntriesIsPlacedExactlyOnce) {
    for (const Window& w : windows()) {
        std::set<int> placed;
        for (const ControlPlacement& p : w.layout.controls) {
            ASSERT_GE(p.control, 0) << w.name;
            ASSERT_LT(static_cast<std::size_t>(p.control), w.controls.size()) << w.name;
            EXPECT_TRUE(placed.insert(p.control).second)
                << w.name << ": " << w.controls[static_cast<std::size_t>(p.control)].name
                << " placed twice";
            EXPECT_EQ(w.layout.find(p.control), &p);
        }
        for (std::size_t id = 0; id < w.controls.size(); ++id) {
            const bool menu = w.controls[id].kind == ControlKind::MenuItem;
            EXPECT_EQ(placed.count(static_cast<int>(id)) == 1, !menu)
                << w.name << ": " << w.controls[id].name;
        }
    }
}

TEST(WindowLayout, ControlsAndCaptionsLieInsideTheirFrameAndTheClientArea) {
    for (const Window& w : windows()) {
        const auto frameSize = [&](int frame) {
            if (frame == kClientArea) {
                return std::pair{w.layout.clientWidth, w.layout.clientHeight};
            }
            const TwipsRect& r = w.layout.frames[static_cast<std::size_t>(frame)].rect;
            return std::pair{r.width, r.height};
        };
        for (const FrameLayout& f : w.layout.frames) {
            EXPECT_TRUE(inside(f.rect, w.layout.clientWidth, w.layout.clientHeight)) << f.name;
        }
        for (const ControlPlacement& p : w.layout.controls) {
            const auto [width, height] = frameSize(p.frame);
            EXPECT_TRUE(inside(p.rect, width, height))
                << w.name << ": " << w.controls[static_cast<std::size_t>(p.control)].name;
        }
        for (const CaptionLayout& c : w.layout.captions) {
            const auto [width, height] = frameSize(c.frame);
            EXPECT_TRUE(inside(c.rect, width, height)) << w.name << ": " << c.text;
        }
    }
}

TEST(WindowLayout, VisibleNeighboursDoNotOverlap) {
    for (const Window& w : windows()) {
        struct Box {
            std::string name;
            int frame;
            TwipsRect rect;
            int control;
            int onLamp;
        };
        std::vector<Box> boxes;
        for (const ControlPlacement& p : w.layout.controls) {
            const ControlDefinition& d = w.controls[static_cast<std::size_t>(p.control)];
            if (!d.visible) continue;
            boxes.push_back({d.name, p.frame, p.rect, p.control, p.onLamp});
        }
        for (const CaptionLayout& c : w.layout.captions) {
            boxes.push_back({c.text, c.frame, c.rect, -1, -1});
        }
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            for (std::size_t j = i + 1; j < boxes.size(); ++j) {
                const Box& a = boxes[i];
                const Box& b = boxes[j];
                if (a.frame != b.frame) continue;
                // A caption written on a lamp shares the lamp's place.
                if ((a.onLamp >= 0 && a.onLamp == b.control) ||
                    (b.onLamp >= 0 && b.onLamp == a.control)) {
                    continue;
                }
                EXPECT_FALSE(overlaps(a.rect, b.rect))
                    << w.name << ": " << a.name << " / " << b.name;
            }
        }
    }
}

TEST(WindowLayout, LampCaptionsStandOnTheirLamps) {
    const WindowLayout& layout = mainLayout();
    int captions = 0;
    for (const ControlPlacement& p : layout.controls) {
        if (p.onLamp < 0) continue;
        ++captions;
        const ControlPlacement* lamp = layout.find(p.onLamp);
        ASSERT_NE(lamp, nullptr);
        EXPECT_EQ(mainControlDefinitions()[static_cast<std::size_t>(p.onLamp)].kind,
                  ControlKind::Lamp);
        EXPECT_EQ(mainControlDefinitions()[static_cast<std::size_t>(p.control)].kind,
                  ControlKind::ClickLabel);
        EXPECT_EQ(lamp->rect, p.rect);
        EXPECT_EQ(lamp->frame, p.frame);
    }
    EXPECT_EQ(captions, 2);  // "Fan" and "T.O."
}

TEST(WindowLayout, TheMainWindowsPanelAndSaveButtonLieBelowTheShortWindow) {
    const WindowLayout& layout = mainLayout();
    EXPECT_STREQ(layout.frames[kMainPanelFrame].name, "Frame1");
    EXPECT_STREQ(layout.frames[kMainPanelFrame].caption, "Configuração");
    const ControlPlacement* save = layout.find(static_cast<int>(MainControl::Save));
    ASSERT_NE(save, nullptr);
    // Below the status area, and above the tall window's bottom edge (less its frame).
    const TwipsRect& status = layout.frames[0].rect;
    EXPECT_GT(layout.frames[kMainPanelFrame].rect.top, status.bottom());
    EXPECT_GT(save->rect.top, layout.frames[kMainPanelFrame].rect.bottom());
    EXPECT_LT(save->rect.bottom(), MainModel::kTallHeightTwips - 600);
    EXPECT_EQ(layout.clientWidth, MainModel::kClientWidthTwips);
}

TEST(WindowLayout, TheActivityTimelineAndTableLieBetweenTheTotalsAndTheStatusLine) {
    const WindowLayout& layout = activityLayout();
    const TwipsRect timeline = activityTimelineRect();
    const TwipsRect table = activityTableRect();
    for (const TwipsRect& r : {timeline, table}) {
        EXPECT_TRUE(inside(r, layout.clientWidth, layout.clientHeight));
        for (const ControlPlacement& p : layout.controls) EXPECT_FALSE(overlaps(r, p.rect));
        for (const CaptionLayout& c : layout.captions) EXPECT_FALSE(overlaps(r, c.rect));
    }
    EXPECT_FALSE(overlaps(timeline, table));
    EXPECT_GT(table.height, timeline.height);
}

TEST(BreakLongBlankRuns, PutsEachCreditOfTheAboutTextOnALineOfItsOwn) {
    const auto& about =
        aboutControlDefinitions()[static_cast<std::size_t>(AboutControl::lblDescription)];
    const std::string shown = breakLongBlankRuns(about.text, "\n");
    ASSERT_EQ(std::count(shown.begin(), shown.end(), '\n'), 2) << shown;
    // The two blanks after "EchoLink." are kept; trailing blanks go.
    EXPECT_NE(shown.find("EchoLink.  Contém"), std::string::npos);
    EXPECT_EQ(shown.back(), 's');
}

TEST(BreakLongBlankRuns, KeepsShortRunsAndTrimsTheEnds) {
    EXPECT_EQ(breakLongBlankRuns("  a  b" + std::string(8, ' ') + "c   ", "|"), "a  b|c");
    EXPECT_EQ(breakLongBlankRuns("a" + std::string(7, ' ') + "b", "|"), "a       b");
    EXPECT_EQ(breakLongBlankRuns("     ", "|"), "");
    EXPECT_EQ(breakLongBlankRuns("a   b", "\r\n", 3), "a\r\nb");
}

}  // namespace
}  // namespace relaydeck
