#include "workspace/ui/page_run.h"

#include <QProgressBar>

#include "common/ui/image_box.h"
#include "common/ui/long_command.h"
#include "workspace/workspace.h"

namespace px {

void RunUndoable(PlatformServices& services, QWidget* window, Workspace& ws, const std::map<int, ImageBox*>& images,
                 QProgressBar* bar, const std::function<void(LongCommand&)>& f) {
    runLongCommand(services, window, [&](LongCommand& lc) {
        Workspace saved = ws;
        std::map<int, ImageBox::Snapshot> pictures;
        for (const auto& [n, img] : images) pictures[n] = img->snapshot();
        bar->setValue(0);
        try {
            f(lc);
        } catch (const Cancelled&) {
            ws = std::move(saved);
            for (const auto& [n, picture] : pictures) images.at(n)->restore(picture);
            bar->setValue(0);
            throw;
        }
    });
}

}  // namespace px
