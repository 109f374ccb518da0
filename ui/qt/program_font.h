#pragma once

// The serif face the windows are drawn in. Times New Roman where the system
// has it, otherwise the metric-compatible Liberation Serif, so that texts
// take the same room and wrap at the same words everywhere.

#include <QFont>

namespace quorvel::ui {

// Times New Roman at `pointSize`, with the given weight.
QFont SerifFont(qreal pointSize, QFont::Weight weight);

} // namespace quorvel::ui
