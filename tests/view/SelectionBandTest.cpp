#include <gtest/gtest.h>

#include "view/SelectionBand.h"

namespace korvid {
namespace {

using Action = SelectionBand::Action;

TEST(SelectionBand, RightDragSpansFromTheRoundedAnchor) {
  SelectionBand band;
  EXPECT_EQ(band.MouseDown(2, 50.4f, 20.6f), Action::None);
  EXPECT_TRUE(band.Visible);
  EXPECT_EQ(band.Shape, (BoxMm{50.4f, 20.6f, 1, 1}));
  EXPECT_EQ(band.AnchorX, 50);
  EXPECT_EQ(band.AnchorY, 21);
  band.MouseMove(2, 30.2f, 40, true);
  EXPECT_FLOAT_EQ(band.Shape.Left, 30.2f);
  EXPECT_EQ(band.Shape.Top, 21);
  EXPECT_FLOAT_EQ(band.Shape.Width, 19.8f);
  EXPECT_EQ(band.Shape.Height, 19);
  band.MouseMove(2, 60, 21, true);  // on the anchor's row
  EXPECT_EQ(band.Shape, (BoxMm{50, 21, 10, 0}));
  EXPECT_EQ(band.MouseUp(2), Action::Capture);
  EXPECT_TRUE(band.Visible) << "the band marks the captured selection";

  band.MouseDown(2, 12.5f, 13.5f);
  EXPECT_EQ(band.AnchorX, 12) << "half to even";
  EXPECT_EQ(band.AnchorY, 14);
}

TEST(SelectionBand, OnlyARightDragOverAFileSelects) {
  SelectionBand band;
  band.MouseDown(2, 10, 10);
  band.MouseMove(2, 30, 30, false);
  EXPECT_EQ(band.Shape, (BoxMm{10, 10, 1, 1})) << "no file: moves change nothing";
  EXPECT_EQ(band.MouseUp(2), Action::None) << "a click without movement";
  EXPECT_FALSE(band.Visible);

  EXPECT_EQ(band.MouseDown(1, 3, 3), Action::OpenContextMenu);
  EXPECT_EQ(band.MouseMove(1, 4, 4, true), Action::OpenContextMenu) << "on every move";
  EXPECT_EQ(band.MouseMove(1, 4, 4, false), Action::None);
  EXPECT_EQ(band.MouseDown(4, 7.6f, 8.4f), Action::None);
  EXPECT_EQ(band.AnchorX, 8) << "the middle button only records the anchor";
  EXPECT_EQ(band.MouseMove(4, 9, 9, true), Action::None);
  EXPECT_EQ(band.MouseUp(4), Action::None);
  EXPECT_FALSE(band.Visible);
}

}  // namespace
}  // namespace korvid
