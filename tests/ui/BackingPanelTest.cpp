// The pale panel behind text on the menu pictures: the boxes it follows hold every line and
// caption as they are drawn, touching boxes become one panel, and panels stay on the screen.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "DrawnTextBoxes.h"
#include "MenuTestFixture.h"
#include "ui/BackingPanel.h"
#include "ui/FontAccess.h"
#include "ui/MenuOptionItem.h"
#include "ui/MessageViewer.h"
#include "media/FontQuad.h"

namespace {

using Boxes = DrawnTextBoxes;

struct BackingPanelTest : MenuTest {
    DrawnTextBoxes texts;
};

}  // namespace

// The row's box holds its frame and its caption wherever the caption is drawn, and reaches exactly
// to the caption's outer edge.
TEST_F(BackingPanelTest, RowBoxHoldsItsFrameAndCaptionAsDrawn) {
    struct Case {
        int location;
        float x;
        float width;
    } cases[] = {{4, 100.0f, 50.0f}, {6, -100.0f, 50.0f}, {8, 0.0f, 256.0f}, {5, 0.0f, 256.0f}, {4, -150.0f, 50.0f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "caption location " << c.location << " at " << c.x);
        uint8_t option = 1;
        MenuOptionItem row(c.x, -40.0f, 0.0f, u"Run the test in a window", u"", &option);
        row.setWidth(int(c.width));
        row.frameHeight = 36.0f;
        row.captionLocation = c.location;
        texts.drawn.clear();
        row.render();
        const WorldRect box = row.box();
        const WorldRect frame{c.x - c.width / 2.0f, -40.0f + 18.0f, c.x + c.width / 2.0f, -40.0f - 18.0f};
        EXPECT_TRUE(Boxes::inside(frame, box)) << Boxes::describe(box);
        const DrawnBox* caption = texts.find(row.caption);
        ASSERT_NE(caption, nullptr);
        EXPECT_TRUE(Boxes::inside(caption->box, box)) << Boxes::describe(caption->box) << " in " << Boxes::describe(box);
        if (c.location == 4) {
            EXPECT_FLOAT_EQ(box.left, caption->box.left);
        } else if (c.location == 6) {
            EXPECT_FLOAT_EQ(box.right, caption->box.right);
        } else if (c.location == 8) {
            EXPECT_FLOAT_EQ(box.top, caption->box.top);
        }
    }
}

// The viewer's box is the union of its lines as render draws them, for each alignment, with a
// blank line and a coloured word among them.
TEST_F(BackingPanelTest, ViewerBoxIsTheUnionOfItsLinesAsDrawn) {
    const int flagCases[] = {0, FontQuad::ALIGN_CENTER, FontQuad::ALIGN_RIGHT,
                             FontQuad::ALIGN_CENTER | FontQuad::ALIGN_HALF_HEIGHT,
                             FontQuad::ALIGN_CENTER | FontQuad::ALIGN_HEIGHT};
    for (int flags : flagCases) {
        SCOPED_TRACE(testing::Message() << "flags " << flags);
        MessageViewer viewer;
        viewer.position = Vector3(30.0f, 90.7f, 0.0f);
        viewer.textFlags = flags;
        EXPECT_FALSE(viewer.textBox().has_value());
        viewer.addMessage(u"A short line");
        viewer.addMessage(u"");
        viewer.addMessage(u"The longest line of them \x1e{ff0000}all\x1e{000001}, by far");
        viewer.addMessage(u"Done.");
        texts.drawn.clear();
        viewer.render();
        ASSERT_FALSE(texts.drawn.empty());
        WorldRect all = texts.drawn.front().box;
        for (const DrawnBox& d : texts.drawn) {
            all.left = std::min(all.left, d.box.left);
            all.right = std::max(all.right, d.box.right);
            all.top = std::max(all.top, d.box.top);
            all.bottom = std::min(all.bottom, d.box.bottom);
        }
        const std::optional<WorldRect> box = viewer.textBox();
        ASSERT_TRUE(box.has_value());
        EXPECT_FLOAT_EQ(box->left, all.left);
        EXPECT_FLOAT_EQ(box->right, all.right);
        EXPECT_FLOAT_EQ(box->top, all.top);
        EXPECT_FLOAT_EQ(box->bottom, all.bottom);
    }
}

// Panels cover what they follow with a margin; boxes whose soft edges would meet become one
// panel (no strip is washed twice); everything stays on the screen; hidden rows and empty
// viewers have none.
TEST_F(BackingPanelTest, PanelsCoverTheirRowsJoinWhenCloseAndStayOnTheScreen) {
    struct Row {
        float x, y;
        bool bHidden;
    };
    struct Case {
        const char* name;
        std::vector<Row> rows;
        size_t panels;
    } cases[] = {
        {"one row", {{100, 0, false}}, 1},
        {"rows far apart", {{100, 100, false}, {100, -100, false}}, 2},
        {"rows one spacing apart", {{100, 25, false}, {100, -25, false}}, 1},
        {"three rows in a column", {{0, 50, false}, {0, 0, false}, {0, -50, false}}, 1},
        {"a hidden row", {{100, 100, false}, {100, -100, true}}, 1},
        {"a row over the screen's corner", {{390, 235, false}}, 1},
        {"a row past the left edge", {{-420, -100, false}}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BackingPanel panel;
        std::vector<std::unique_ptr<MenuOptionItem>> rows;
        uint8_t option = 0;
        for (const Row& r : c.rows) {
            rows.push_back(std::make_unique<MenuOptionItem>(r.x, r.y, 0.0f, u"Caption", u"", &option));
            rows.back()->bHidden = r.bHidden;
            panel.follow(rows.back().get());
        }
        MessageViewer empty;
        panel.follow(&empty);
        const std::vector<WorldRect> panels = panel.panels();
        ASSERT_EQ(panels.size(), c.panels);
        for (const WorldRect& p : panels) {
            EXPECT_TRUE(Boxes::inside(p, WorldRect{-400.0f, 240.0f, 400.0f, -240.0f})) << Boxes::describe(p);
            // Soft edges of two panels never meet.
            const float gap = 2 * BackingPanel::FEATHER;
            for (const WorldRect& q : panels) {
                if (&p == &q) continue;
                EXPECT_FALSE(p.left - gap < q.right && q.left - gap < p.right && p.bottom - gap < q.top &&
                             q.bottom - gap < p.top)
                    << Boxes::describe(p) << " and " << Boxes::describe(q);
            }
        }
        for (size_t i = 0; i < rows.size(); ++i) {
            if (c.rows[i].bHidden) continue;
            // The part of the row on the screen lies inside one panel, with the margin around it.
            WorldRect box = rows[i]->box();
            box = WorldRect{std::max(box.left, -400.0f), std::min(box.top, 240.0f), std::min(box.right, 400.0f),
                            std::max(box.bottom, -240.0f)};
            bool covered = false;
            for (const WorldRect& p : panels)
                covered |= Boxes::inside(box, p) && (box.left - p.left >= BackingPanel::MARGIN_X - 0.01f || p.left == -400.0f);
            EXPECT_TRUE(covered) << Boxes::describe(box);
        }
    }
}
