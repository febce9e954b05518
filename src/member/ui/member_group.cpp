#include "member/ui/member_group.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>

#include "analysis/pm_solver.h"
#include "input/ui/form_fields.h"
#include "workspace/workspace.h"
#include "common/ui/image_box.h"
#include "input/field_defaults.h"
#include "member/ui/member_chart.h"

namespace px {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

MemberGroup::MemberGroup(QWidget* page, FormFields& fields, QRect r, QObject* parent)
    : QObject(parent), fields_(fields) {
    // Two rows under the P-M page's settings; the title says which members.
    auto* box = new QGroupBox("Member: braced (non-sway) members only", page);
    box->setObjectName("GroupBoxMember");
    box->setGeometry(r);
    int x = 10, y = 16;
    auto label = [&](const QString& text, int w) {
        auto* l = new QLabel(text, box);
        l->setGeometry(x, y, w, 21);
        x += w;
    };
    auto edit = [&](int n, int w) {
        const std::string name = "Edit" + std::to_string(n);
        auto* e = new QLineEdit(qs(DefaultFieldTexts().at(name)), box);
        e->setObjectName(qs(name));
        e->setGeometry(x, y, w, 21);
        fields_.edits[name] = e;
        x += w + 8;
    };
    // "Member Length" may already be on the window (the design codes use it).
    const bool haveLength =
        fields_.edits.count("Edit72") || (page->window() && page->window()->findChild<QLineEdit*>("Edit72"));
    if (!haveLength) {
        label("Member Length", 88);
        edit(72, 60);
    }
    label("kx", 18);
    edit(73, 40);
    label("ky", 18);
    edit(74, 40);
    label("Slenderness", 72);
    auto* combo = new QComboBox(box);
    combo->setObjectName("ComboBox11");
    for (const std::string& item : ComboBoxItems("ComboBox11")) combo->addItem(qs(item));
    combo->setGeometry(x, y, 120, 21);
    fields_.combos["ComboBox11"] = combo;
    // The code methods' inputs and the bow on a second row.
    x = 10;
    y += 24;
    label("ACI beta_dns", 78);
    edit(75, 40);
    label("EN phi_ef", 60);
    edit(76, 40);
    label("Initial Bow", 62);
    edit(77, 50);
}

MemberInput MemberGroup::read(const Workspace& ws) {
    MemberInput in = ReadMemberInput(fields_, ws.Loads.Count > 0);
    pending_.reset();
    last_.reset();
    return in;
}

std::vector<std::string> MemberGroup::curveText() const {
    return last_ ? MemberCurveText(last_->first, last_->second.x, last_->second.y) : std::vector<std::string>{};
}

void MemberGroup::solve(const Workspace& ws, const MemberInput& in, const PmSettings& pm, const Progress& progress,
                        const std::atomic<bool>* cancel) {
    pending_.reset();
    if (in.method == Slenderness::None) return;
    MemberInput run = in;
    run.settings.strainLimit = pm.strainLimit;
    run.settings.factor = pm.factor;
    FiberTable t = ws.Fibers;  // the solvers leave their trial states in the fibers
    MemberCurves c = SolveMemberCurves(t, ws.Input.B, ws.Input.H, run,
                                       MemberLevels(ws.PMin, ws.PMax, kMemberCurveLevels), progress, cancel);
    pending_.emplace(in, std::move(c));
}

void MemberGroup::draw(const Workspace& ws, ImageBox& x, ImageBox& y) {
    if (!pending_) return;
    const auto& [in, c] = *pending_;
    x.paint([&](QPainter& p, int W, int H) {
        DrawMemberCurve(p, W, H, c.x, ws.PMScale.X, MemberCurveLabel(in, MemberAxis::X));
    });
    x.refresh();
    y.paint([&](QPainter& p, int W, int H) {
        DrawMemberCurve(p, W, H, c.y, ws.PMScale.Y, MemberCurveLabel(in, MemberAxis::Y));
    });
    y.refresh();
    last_ = std::move(pending_);
    pending_.reset();
}

}  // namespace px
