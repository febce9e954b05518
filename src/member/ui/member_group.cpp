#include "member/ui/member_group.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>

#include "analysis/pm_solver.h"
#include "app/ui/tform1.h"
#include "app/workspace.h"
#include "common/ui/image_box.h"
#include "input/field_defaults.h"
#include "member/ui/member_chart.h"

namespace px {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

MemberGroup::MemberGroup(QWidget* page, FormFields& fields, QRect r, QObject* parent)
    : QObject(parent), fields_(fields) {
    auto* box = new QGroupBox("Member", page);
    box->setObjectName("GroupBoxMember");
    box->setGeometry(r);
    auto label = [&](const QString& text, int x, int y, int w) {
        auto* l = new QLabel(text, box);
        l->setGeometry(x, y, w, 21);
        return l;
    };
    auto edit = [&](int n, int x, int y) {
        const std::string name = "Edit" + std::to_string(n);
        auto* e = new QLineEdit(qs(DefaultFieldTexts().at(name)), box);
        e->setObjectName(qs(name));
        e->setGeometry(x, y, 60, 21);
        fields_.edits[name] = e;
    };
    // "Member Length" may already be on the window (the design codes use it).
    const bool haveLength = fields_.edits.count("Edit72") || (page->window() && page->window()->findChild<QLineEdit*>("Edit72"));
    if (!haveLength) {
        label("Member Length", 10, 18, 90);
        edit(72, 100, 18);
    }
    label("kx", 175, 18, 20);
    edit(73, 195, 18);
    label("ky", 265, 18, 20);
    edit(74, 285, 18);
    label("Slenderness", 360, 18, 75);
    auto* combo = new QComboBox(box);
    combo->setObjectName("ComboBox11");
    for (const std::string& item : ComboBoxItems("ComboBox11")) combo->addItem(qs(item));
    combo->setGeometry(435, 18, 130, 21);
    fields_.combos["ComboBox11"] = combo;
    label("ACI beta_dns", 10, 46, 90);
    edit(75, 100, 46);
    label("EN phi_ef", 175, 46, 70);
    edit(76, 245, 46);
    label("Initial Bow", 320, 46, 70);
    edit(77, 390, 46);
    auto* note = label("Braced (non-sway) members only: pin-ended, no sway of the ends.", 580, 18, r.width() - 590);
    note->setObjectName("MemberNote");
    note->setWordWrap(true);
    note->setGeometry(580, 18, r.width() - 590, 49);
}

MemberInput MemberGroup::read(const Workspace& ws) {
    MemberInput in = ReadMemberInput(fields_, ws.Loads.Count > 0);
    last_.reset();
    return in;
}

std::vector<std::string> MemberGroup::curveText() const {
    return last_ ? MemberCurveText(last_->first, last_->second.x, last_->second.y) : std::vector<std::string>{};
}

void MemberGroup::drawCurves(Workspace& ws, const MemberInput& in, const PmSettings& pm, ImageBox& x, ImageBox& y,
                             const Progress& progress, const std::atomic<bool>* cancel) {
    if (in.method == Slenderness::None) return;
    MemberInput run = in;
    run.settings.strainLimit = pm.strainLimit;
    run.settings.factor = pm.factor;
    const MemberCurves c = SolveMemberCurves(ws.Fibers, ws.Input.B, ws.Input.H, run,
                                             MemberLevels(ws.PMin, ws.PMax, kMemberCurveLevels), progress, cancel);
    x.paint([&](QPainter& p, int W, int H) {
        DrawMemberCurve(p, W, H, c.x, ws.PMScale.X, MemberCurveLabel(in, MemberAxis::X));
    });
    x.refresh();
    y.paint([&](QPainter& p, int W, int H) {
        DrawMemberCurve(p, W, H, c.y, ws.PMScale.Y, MemberCurveLabel(in, MemberAxis::Y));
    });
    y.refresh();
    last_.emplace(in, c);
}

}  // namespace px
