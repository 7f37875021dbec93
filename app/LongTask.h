#pragma once
// Work too long for one go on the window's thread (reading the rest of a
// huge result, taking the text of one), done in short steps so that the
// window never stops answering:
//
//   up to 1 s    the wait cursor; between steps the window repaints, and
//                input waits for the end (it is rarely longer than that)
//   beyond       a window-modal progress window with "Odustani": the window
//                repaints, the progress window answers at once
//
// A step returns true when the work is done and reports how far it is.
// Only one runs at a time; a second asked for meanwhile is refused.
#include <QString>

#include <functional>

class QWidget;

namespace longtask {

// One step: true when the work is done; `progress` (0 to 1) says how far.
using Step = std::function<bool(double& progress)>;

// Runs steps until the work is done (true), or until the user cancels it or
// one is already running (false).
bool Run(QWidget* parent, const QString& label, const Step& step);

// The progress window is shown after this much time.
inline constexpr int kProgressAfterMs = 1000;

} // namespace longtask
