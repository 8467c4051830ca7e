#pragma once

#include <cstdint>

#include "view/BoxMm.h"

namespace korvid {

// The rubber band the right mouse button drags over the drawing surface, and what the
// left button does there. Coordinates are millimetres of the surface from its own
// top-left corner, whatever the scroll position.
class SelectionBand {
 public:
  static constexpr int kLeftButton = 1;
  static constexpr int kRightButton = 2;

  enum class Action {
    None,
    OpenContextMenu,  // the left button opens the surface's context menu
    Capture,          // copy the surface's region under the band
  };

  BoxMm Shape;
  bool Visible = false;
  std::int32_t AnchorX = 0;  // the fixed corner: the press point, rounded to whole mm
  std::int32_t AnchorY = 0;

  Action MouseDown(int button, float x, float y);
  // `buttons`: the buttons held. Nothing happens while no file is loaded.
  Action MouseMove(int buttons, float x, float y, bool fileLoaded);
  // A right-button release after a drag captures the band; one without any movement is a
  // click, not a selection: the band goes and nothing is captured.
  Action MouseUp(int button);

  void Hide() { Visible = false; }

 private:
  bool dragged_ = false;
};

}  // namespace korvid
