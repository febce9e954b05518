#include "section/ui/custom_controls.h"

#include <QComboBox>
#include <QVariant>

namespace px {

namespace {
constexpr const char* kTemplateChoice = "templateChoice";  // the index a template had
constexpr int kSectionOutline = 1;
}  // namespace

void ShowStrainLimitsAt(QComboBox& box, bool custom) {
    const QVariant kept = box.property(kTemplateChoice);
    if (custom) {
        if (!kept.isValid()) box.setProperty(kTemplateChoice, box.currentIndex());
        box.setCurrentIndex(kSectionOutline);
    } else if (kept.isValid()) {
        box.setProperty(kTemplateChoice, QVariant());
        box.setCurrentIndex(kept.toInt());
    }
    box.setEnabled(!custom);
}

}  // namespace px
