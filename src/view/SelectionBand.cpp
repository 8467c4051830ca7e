#include "view/SelectionBand.h"

#include "model/ValueConversion.h"

namespace korvid {

SelectionBand::Action SelectionBand::MouseDown(int button, float x, float y) {
  if (button == kRightButton) {
    Visible = true;
    Shape = BoxMm{x, y, 1, 1};
    dragged_ = false;
  }
  AnchorX = RoundToInt32(x);
  AnchorY = RoundToInt32(y);
  return button == kLeftButton ? Action::OpenContextMenu : Action::None;
}

SelectionBand::Action SelectionBand::MouseMove(int buttons, float x, float y, bool fileLoaded) {
  if (!fileLoaded) return Action::None;
  if (buttons == kLeftButton) return Action::OpenContextMenu;
  if (buttons != kRightButton) return Action::None;
  Visible = true;
  dragged_ = true;
  // Each extent is measured from the edge as stored, so that it meets the pointer exactly.
  if (static_cast<double>(y) > AnchorY) {
    Shape.Top = static_cast<float>(AnchorY);
    Shape.Height = ToSingle(static_cast<double>(y) - Shape.Top);
  } else {
    Shape.Top = y;
    Shape.Height = ToSingle(AnchorY - static_cast<double>(Shape.Top));
  }
  if (static_cast<double>(x) > AnchorX) {
    Shape.Left = static_cast<float>(AnchorX);
    Shape.Width = ToSingle(static_cast<double>(x) - Shape.Left);
  } else {
    Shape.Left = x;
    Shape.Width = ToSingle(AnchorX - static_cast<double>(Shape.Left));
  }
  return Action::None;
}

SelectionBand::Action SelectionBand::MouseUp(int button) {
  if (button != kRightButton) return Action::None;
  if (!dragged_) {
    Visible = false;
    return Action::None;
  }
  return Action::Capture;
}

}  // namespace korvid
