#pragma once
// The "Member" group of the P-M page: length, effective length factors,
// slenderness method, the code methods' creep factors and the initial bow;
// and the member's interaction curves drawn beside the section's.
#include <QObject>
#include <QRect>
#include <atomic>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "analysis/section_steps.h"
#include "member/member_input.h"

class QWidget;

namespace px {

class FormFields;
class ImageBox;
struct Workspace;
struct PmSettings;

class MemberGroup : public QObject {
    Q_OBJECT
public:
    // Builds the group's controls in `r` on `page` and registers them in
    // `fields`. "Member Length" (Edit72) is built here only when the window
    // has no field of that name yet.
    MemberGroup(QWidget* page, FormFields& fields, QRect r, QObject* parent = nullptr);

    // Reads the group's fields, refusing bad ones before anything changes;
    // forgets the curves of the last run.
    MemberInput read(const Workspace& ws);

    // With "Slenderness" not "None": the member's curves at 20 axial levels
    // from the workspace's PMin to PMax, kept for draw(). A refusal (a
    // member that buckles under its smallest compressive level) comes here,
    // before the P-M page draws anything.
    void solve(const Workspace& ws, const MemberInput& in, const PmSettings& pm, const Progress& progress = {},
               const std::atomic<bool>* cancel = nullptr);
    // Draws the solved curves over Image2 and Image3 in the scales the P-M
    // curves left in the workspace's PMScale, each labelled with its length
    // and method; nothing when none were solved.
    void draw(const Workspace& ws, ImageBox& x, ImageBox& y);

    // The curves of the last run as text (MemberCurveText); empty when the
    // last "Show PM Curve" drew none.
    std::vector<std::string> curveText() const;

private:
    FormFields& fields_;
    std::optional<std::pair<MemberInput, MemberCurves>> pending_, last_;
};

}  // namespace px
