// The layout data every front-end builds its windows from.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "ui/layout.h"

namespace tavrel {
namespace {

class Layouts : public ::testing::TestWithParam<const FormLayout*> {};

INSTANTIATE_TEST_SUITE_P(Forms, Layouts, ::testing::Values(&Form1Layout(), &Form2Layout()),
                         [](const auto& info) { return info.param->name; });

TEST_P(Layouts, ControlsAreNamedOnceAndStartInsideWhatHoldsThem) {
    const FormLayout& form = *GetParam();
    std::set<std::string> names;
    for (const Control& c : form.controls) {
        EXPECT_TRUE(names.insert(c.name).second) << c.name << " twice";
        EXPECT_GT(c.width, 0) << c.name;
        EXPECT_GT(c.height, 0) << c.name;
        // A container is made before what it holds; a control may run over
        // its edge (the Tools window's title does, by two pixels) but starts
        // inside it.
        const int width = c.container.empty() ? form.width : FindControl(form, c.container).width;
        const int height = c.container.empty() ? form.height : FindControl(form, c.container).height;
        EXPECT_TRUE(c.container.empty() || names.count(c.container)) << c.name << " before its container";
        EXPECT_TRUE(c.left >= 0 && c.left < width) << c.name;
        EXPECT_TRUE(c.top >= 0 && c.top < height) << c.name;
    }
}

TEST_P(Layouts, TheTabOrderHasNoGapsOrTies) {
    std::vector<int> order;
    for (const Control& c : GetParam()->controls) {
        if (c.tabIndex >= 0) order.push_back(c.tabIndex);
    }
    std::sort(order.begin(), order.end());
    for (std::size_t i = 0; i < order.size(); ++i) EXPECT_EQ(order[i], static_cast<int>(i));
}

TEST(Layout, TwipsBecomePixelsAtFifteenAPixelAndScaleWithTheResolution) {
    EXPECT_EQ(TwipsToPixels(5265), 351);  // the main window's width
    EXPECT_EQ(TwipsToPixels(7), 0);
    EXPECT_EQ(TwipsToPixels(8), 1);  // to the nearest pixel
    EXPECT_EQ(TwipsToPixels(5265, 192), 702);
    EXPECT_EQ(TwipsToPixels(195, 144), 20);
    EXPECT_EQ(FindControl(Form1Layout(), "lblActivate").caption, "Activate Selected");
    EXPECT_THROW(FindControl(Form2Layout(), "lblActivate"), std::out_of_range);
}

}  // namespace
}  // namespace tavrel
