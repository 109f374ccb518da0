#pragma once

#include <QWidget>

namespace quorvel::ui {

// Moves a top-level window so that its frame sits in the middle of the
// screen the mouse is on (the primary screen when that is unknown), within
// the area that panels and task bars leave free. Before the window is first
// shown its frame is not known yet and its client area is centred instead.
void CentreOnScreen(QWidget& window);

} // namespace quorvel::ui
