#pragma once
// How a page runs a solve: as a long command that Esc can stop, where a
// stopped one leaves the workspace and every picture as they were.
#include <functional>
#include <map>

class QProgressBar;
class QWidget;

namespace px {

struct Workspace;
class ImageBox;
class LongCommand;
class PlatformServices;

// Runs f as a long command (refused while another runs). `bar` restarts at
// 0; a Cancelled run puts back `ws` and `images` and sets `bar` to 0.
void RunUndoable(PlatformServices& services, QWidget* window, Workspace& ws, const std::map<int, ImageBox*>& images,
                 QProgressBar* bar, const std::function<void(LongCommand&)>& f);

}  // namespace px
