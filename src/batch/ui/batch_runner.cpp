#include "batch/ui/batch_runner.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <algorithm>
#include <cstring>
#include <exception>
#include <optional>
#include <vector>

#include "common/ui/grid_model.h"
#include "common/ui/platform.h"
#include "app/ui/tform1.h"
#include "check/ui/pmm_page.h"
#include "curvature/ui/mphi_page.h"
#include "input/error.h"
#include "loads/data_summary.h"
#include "member/ui/member_group.h"
#include "output/ui/tform2.h"
#include "input/field_defaults.h"
#include "input/fields.h"
#include "project/ui/project_controller.h"

namespace px {

namespace {

constexpr int kComboCount = kComboBoxCount;

enum class StepKind {
    SetEdit, SetCombo, Section, Pm, Mm, Import, Save, Open, SaveProject, Check, Surface, Mphi, Report,
    LoadSection, ExportSection, Member
};

struct Step {
    StepKind kind = StepKind::Section;
    QString arg;     // as given, for messages
    int number = 0;  // EditN, ComboBoxN or ImageN
    QString text;    // field text, item index or file name
};

// The dialogs answer with the files named on the command line; the first
// error message is kept and nothing is ever shown.
class BatchPlatform final : public PlatformServices {
public:
    QString importPath;
    QString savePath;
    bool failed = false;
    QString message;
    // What a loaded drawing's reader warns of, for standard error.
    std::string warnings;

    QString openFile(QWidget*, const QString&) override { return importPath; }

    QString saveFile(QWidget*, const QString&, const QString&, const QString& defaultSuffix,
                     const QString&) override {
        // Like the save dialog: a name without a suffix gets the default one.
        if (savePath.isEmpty() || defaultSuffix.isEmpty() || !QFileInfo(savePath).suffix().isEmpty())
            return savePath;
        return savePath + '.' + defaultSuffix;
    }

    std::optional<QColor> chooseColor(QWidget*, const QColor&) override { return std::nullopt; }

    void showError(QWidget*, const QString& text) override {
        if (failed) return;
        failed = true;
        message = text;
    }

    bool openUrl(const QString&) override { return false; }

    void reset() {
        failed = false;
        message.clear();
    }
};

// The commands without a value, and those whose value is a file name.
struct Command {
    const char* name;
    StepKind kind;
};
constexpr Command kPlainCommands[] = {{"section", StepKind::Section}, {"pm", StepKind::Pm},
                                      {"mm", StepKind::Mm},           {"check", StepKind::Check},
                                      {"surface", StepKind::Surface}, {"mphi", StepKind::Mphi},
                                      {"member", StepKind::Member}};
constexpr Command kFileCommands[] = {{"import=", StepKind::Import},
                                     {"open=", StepKind::Open},
                                     {"saveproject=", StepKind::SaveProject},
                                     {"report=", StepKind::Report},
                                     {"loadsection=", StepKind::LoadSection},
                                     {"exportsection=", StepKind::ExportSection}};

// Splits the arguments into steps; false with a reason on a wrong argument.
bool parseArgs(const QStringList& args, std::vector<Step>& steps, QString& reason) {
    static const QRegularExpression control(QStringLiteral("^(Edit|ComboBox)([1-9][0-9]{0,3})$"));
    static const QRegularExpression index(QStringLiteral("^[0-9]{1,9}$"));
    bool anyCommand = false;
    for (const QString& a : args) {
        Step s;
        s.arg = a;
        const auto plain = std::find_if(std::begin(kPlainCommands), std::end(kPlainCommands),
                                        [&](const Command& c) { return a == c.name; });
        const auto withFile = std::find_if(std::begin(kFileCommands), std::end(kFileCommands),
                                           [&](const Command& c) { return a.startsWith(c.name); });
        if (plain != std::end(kPlainCommands)) {
            s.kind = plain->kind;
        } else if (withFile != std::end(kFileCommands)) {
            s.kind = withFile->kind;
            s.text = a.mid(qsizetype(std::strlen(withFile->name)));
            if (s.text.isEmpty()) {
                reason = QString("%1 needs a file name").arg(withFile->name);
                return false;
            }
        } else if (a.startsWith("save=")) {
            s.kind = StepKind::Save;
            const QString rest = a.mid(5);
            const qsizetype colon = rest.indexOf(':');
            if (colon < 0) {
                reason = QString("'%1' is not save=IMAGE:FILE").arg(a);
                return false;
            }
            const QString image = rest.left(colon);
            s.text = rest.mid(colon + 1);
            for (const int n : {2, 3, 5, 12, 13})
                if (image == QString("Image%1").arg(n)) s.number = n;
            if (s.number == 0) {
                reason = QString("'%1' is not Image2, Image3, Image5, Image12 or Image13").arg(image);
                return false;
            }
            if (s.text.isEmpty()) {
                reason = QString("'%1' names no file").arg(a);
                return false;
            }
        } else if (const qsizetype eq = a.indexOf('='); eq > 0) {
            const QString name = a.left(eq);
            s.text = a.mid(eq + 1);
            const QRegularExpressionMatch m = control.match(name);
            const bool edit = m.hasMatch() && m.captured(1) == "Edit";
            s.number = m.hasMatch() ? m.captured(2).toInt() : 0;
            // Edit and combo box numbers run to kEditCount and kComboCount
            // with gaps: only the window's own.
            if (!m.hasMatch() || s.number > (edit ? kEditCount : kComboCount) ||
                (edit && !DefaultFieldTexts().count("Edit" + std::to_string(s.number))) ||
                (!edit && ComboBoxItems("ComboBox" + std::to_string(s.number)).empty())) {
                reason = QString("unknown control '%1'").arg(name);
                return false;
            }
            s.kind = edit ? StepKind::SetEdit : StepKind::SetCombo;
            if (!edit && !index.match(s.text).hasMatch()) {
                reason = QString("'%1' is not an item index of %2").arg(s.text, name);
                return false;
            }
            steps.push_back(s);
            continue;
        } else {
            reason = QString("unknown command '%1'").arg(a);
            return false;
        }
        anyCommand = true;
        steps.push_back(s);
    }
    if (!anyCommand) {
        reason = "no command given";
        return false;
    }
    return true;
}

QComboBox* comboOf(const TForm1& form, int n) {
    return form.findChild<QComboBox*>(QString("ComboBox%1").arg(n));
}

void addLine(std::string& out, const QString& text) {
    out += text.toStdString();
    out += '\n';
}

// The section information fields in the order they are printed.
struct InfoField {
    const char* caption;
    int edit;
};
constexpr InfoField kInfoFields[] = {{"Gross Area", 36}, {"Conc Area", 31}, {"Rebar Area", 37},
                                     {"Ratio(%)", 39},   {"Steel Area", 38}, {"Ratio(%)", 40}};

// Runs one step; false when the window reported an error.
bool runStep(TForm1& form, BatchPlatform& platform, const Step& s, std::string& out) {
    switch (s.kind) {
        case StepKind::SetEdit:
            form.edit(s.number)->setText(s.text);
            return true;
        case StepKind::SetCombo: {
            // Only the value: the commands run the handlers.
            QComboBox* c = comboOf(form, s.number);
            const QSignalBlocker block(c);
            c->setCurrentIndex(s.text.toInt());
            return true;
        }
        case StepKind::Section:
            form.ComboBox1Change();
            // "Custom Section" without a section waits in the window; here it fails.
            if (!form.fields().customSection() && comboOf(form, 1)->currentIndex() == 8) form.Button1Click();
            if (platform.failed) return false;
            addLine(out, QString("NFib = %1").arg(form.workspace().Fibers.NFib));
            for (const InfoField& f : kInfoFields)
                addLine(out, QString("%1 = %2").arg(f.caption, form.edit(f.edit)->text()));
            if (const QString c = form.findChild<QLabel*>("CentroidLabel")->text(); !c.isEmpty()) addLine(out, c);
            return true;
        case StepKind::Pm:
        case StepKind::Mm: {
            if (s.kind == StepKind::Pm) form.Button2Click();
            else form.Button7Click();
            if (platform.failed) return false;
            if (s.kind == StepKind::Pm) form.Button5Click();
            else form.Button6Click();
            if (platform.failed) return false;
            for (const QString& l : form.resultWindow()->lines()) addLine(out, l);
            return true;
        }
        case StepKind::Import: {
            platform.importPath = s.text;
            form.Button4Click();
            if (platform.failed) return false;
            addLine(out, form.findChild<QLabel*>("Label66")->text());
            const StringGrid* grid = form.findChild<StringGrid*>("StringGrid2");
            for (int r = 0; r < kSummaryRows; ++r) {
                QStringList cells;
                for (int c = 0; c < kSummaryColumns; ++c) cells << grid->cell(c, r);
                addLine(out, cells.join('\t'));
            }
            return true;
        }
        case StepKind::Save:
            platform.savePath = s.text;
            if (s.number == 2) form.Button16Click();
            else if (s.number == 3) form.Button17Click();
            else if (s.number == 12) form.pmmPage()->saveImage();
            else if (s.number == 13) form.mphiPage()->saveImage();
            else form.Button14Click();
            return !platform.failed;
        case StepKind::Open:
            return form.project().openPath(s.text) && !platform.failed;
        case StepKind::SaveProject:
            return form.project().saveTo(s.text);
        case StepKind::Check: {
            form.pmmPage()->checkForces();
            const Workspace& ws = form.workspace();
            if (platform.failed || !ws.Check) return false;
            out += CheckCsv(*ws.Check, "\n");
            // The summary line, the radial ratio's line, then each warning
            // on a line of its own.
            addLine(out, form.pmmPage()->summaryText());
            return true;
        }
        case StepKind::Surface:
            form.pmmPage()->genSurface();
            if (platform.failed) return false;
            out += form.pmmPage()->surfaceCsv("\n");
            return true;
        case StepKind::Mphi:
            form.mphiPage()->genCurve();
            if (platform.failed) return false;
            form.mphiPage()->exportText();
            if (platform.failed) return false;
            for (const QString& l : form.resultWindow()->lines()) addLine(out, l);
            return true;
        case StepKind::Member: {
            if (comboOf(form, 11)->currentIndex() == 0) {
                platform.showError(nullptr, "\"Slenderness\" is \"None\": choose \"General method\" (ComboBox11=2) "
                                            "for the member's curves.");
                return false;
            }
            form.Button2Click();
            if (platform.failed) return false;
            for (const std::string& l : form.findChild<MemberGroup*>()->curveText()) addLine(out, QString::fromStdString(l));
            return true;
        }
        case StepKind::Report:
            platform.savePath = s.text;
            form.AnalysisReport1Click();
            return !platform.failed;
        case StepKind::LoadSection:
            platform.importPath = s.text;
            form.LoadSectionClick();
            if (platform.failed) return false;
            if (const auto c = form.fields().customSection(); c && !c->Section.warning.empty())
                platform.warnings += "pillarix-batch: " + s.text.toStdString() + ": " + c->Section.warning + "\n";
            return true;
        case StepKind::ExportSection:
            platform.savePath = s.text;
            form.ExportSectionClick();
            return !platform.failed;
    }
    return true;
}

int usage(std::string& err, const QString& reason) {
    err = QString("pillarix-batch: %1; %2 (--help for more)\n").arg(reason, BatchSynopsis()).toStdString();
    return kBatchUsage;
}

}  // namespace

QString BatchSynopsis() {
    return QStringLiteral("usage: pillarix-batch [NAME=TEXT ...] COMMAND [COMMAND ...]");
}

QString BatchHelp() {
    return BatchSynopsis() + QString::fromUtf8(R"HELP(

Runs the Pillarix main window offscreen, as the program starts it (default
rectangular column meshed and its P-M curves solved), then takes the
arguments in order on that one window: assignments set its fields, commands
press its buttons and print what the window shows.

Assignments (apply from where they stand, as typed between presses):
  EditN=TEXT       edit field EditN (N = 1..68, 69: "Mesh Size" of a custom
                   section, 70: "Cover Layers", 71: alpha_cc, 72..77: the
                   "Member" group, "Member Length" mm, kx, ky, ACI beta_dns,
                   EN phi_ef, "Initial Bow") to TEXT as typed
  ComboBoxN=I      combo box ComboBoxN (N = 1..11) to item index I (0 = first);
                   ComboBox1, the section type: 0 Rect Column, 1 Circular
                   Column, 2 Rect SRC Column Type1, 3 Rect SRC Column Type2,
                   4 Circular Steel Tube Col, 5 Rect Steel Box Column,
                   6 Circular SRC Column, 7 Steel Tube in Rect Col,
                   8 Custom Section (with loadsection=FILE);
                   ComboBox8, "Strain limits at": 0 Bounding rectangle,
                   1 Section outline; ComboBox9, "Design Code": 0 None,
                   1 ACI 318-19, 2 EN 1992-1-1 / EN 1994-1-1, 3 AISC 360-16;
                   ComboBox10, "Transverse Reinforcement": 0 Ties,
                   1 Spirals; ComboBox11, "Slenderness": 0 None,
                   1 Code method, 2 General method; setting a combo box runs
                   no handler by itself

Commands:
  section          section-type change and "Input Section"; prints
                     NFib = <fibers>
                     Gross Area = <text>
                     Conc Area = <text>
                     Rebar Area = <text>
                     Ratio(%) = <rebar ratio>
                     Steel Area = <text>
                     Ratio(%) = <steel ratio>
                   and for a custom section the line
                     Centroid at x = <x>, y = <y> mm
                   followed, for a section that is not point-symmetric, by
                   the pure-axial points and the moments they carry
                     PMax = <P> kN at Mx = <Mx>, My = <My> kNm
                     PMin = <P> kN at Mx = <Mx>, My = <My> kNm
  pm               "Show PM Curve", then "Export Text"; prints the result text
  mm               "Gen MM Curve", then "Export Txt"; prints the result text
  import=FILE      "Import Force Data(CSV File)" on FILE; prints the count line
                   ("Number of Import Force Load Comb = <n>"), then the five
                   rows of the summary grid (Case/P/Mx/My, N,max, N,min,
                   Mx,max, My,max), each row's four cells joined by one tab
  check            "Check Forces" on the imported forces; prints the check
                   as "Export Check" writes it (Case,P (kN),Mx (kNm),
                   My (kNm),Capacity (kNm),Ratio,Status,Radial Ratio, one
                   line per combination in file order, the case by its name
                   where Edit78 gives the table's Load Case field; for a
                   section that is not point-symmetric the ratios' captions
                   are "Ratio from plastic centroid" and "Radial Ratio from
                   plastic centroid"), then the line
                     Passed N of M; governing case i, ratio r
                   then the line
                     Radial ratio: governing case j, ratio r; the
                     constant-P ratio governs (or: the radial ratio governs)
                   then each warning about the section on a line of its own
                   With "Slenderness" "General method" (ComboBox11=2) each
                   row's moments are magnified on the member first, the
                   columns Slenderness x (kL/r),Slenderness y (kL/r),
                   Magnifier x,Magnifier y,Magnified Mx (kNm),Magnified My
                   (kNm) follow, and a line "Slender member: ..." says how
  surface          "Gen PMM Surface" with Edit65 axial levels (default 20);
                   prints Level,P,Point,Mx,My, one line per point: the
                   apexes as levels 0 and L (point 0), the rings between
  member           "Show PM Curve" with "Slenderness" not None (ComboBox11=2):
                   the braced, pin-ended member's curves by the general
                   method at 20 axial levels; prints for each direction a
                   heading line naming it, the length, factor, method and
                   bow, then one line per level from tension to compression:
                     <P kN> TAB <largest first-order end moment kNm> TAB
                     <what limits it: section, instability, buckled,
                      beyond the section, end of curve>
  mphi             "Gen M-Phi Curve" at Edit66 axial force, Edit67 angle and
                   Edit68 curvature steps, then "Export Text"; prints the
                   result text (the table of points, then the key values)
  save=IMAGE:FILE  saves Image2 (P-M, X direction), Image3 (P-M, Y direction),
                   Image5 (Mx-My), Image12 (the 3D surface and checked
                   forces) or Image13 (M-Phi) as the picture buttons do: .png gives PNG,
                   .bmp BMP, any other suffix JPEG; a name without a suffix
                   gets ".jpg"; prints nothing
  open=FILE        "Open File" on the project FILE (.pxc): its fields, combo
                   boxes, colours and forces, then the start-up commands;
                   prints nothing
  saveproject=FILE writes the window's project to FILE as "Save File" does;
                   prints nothing
  loadsection=FILE "Load Section File..." on FILE, a section file or a DXF
                   drawing (.dxf): chooses Custom Section (ComboBox1=8),
                   fills Edit69 with the default mesh size and meshes it;
                   a file that cannot be read or meshed fails and changes
                   nothing; prints nothing (what a drawing's reader skipped,
                   or its doubt about the units, goes to standard error)
  exportsection=FILE
                   "Export Section File...": writes the current section,
                   template or custom, as a section file; a name without a
                   suffix gets ".sec"; prints nothing
  report=FILE      "Analysis Report": writes the PDF report of the current
                   fields (computing the section and curves it shows) to
                   FILE; a name without a suffix gets ".pdf"; prints nothing

Every printed line ends with a newline; numbers are written as the window
writes them, with a decimal point under any locale.

Exit status:
  0  every command ran
  1  a command failed: its message, as the window's message box shows it, on
     standard error, and nothing on standard output; later commands do not run
  2  a wrong argument: a usage line on standard error; nothing runs

Example:
  pillarix-batch ComboBox1=1 Edit1=1000 Edit33=20 section pm mm > circular.txt
  pillarix-batch Edit1=1500 import=forces.csv saveproject=c7.pxc
  pillarix-batch open=c7.pxc pm
  pillarix-batch import=forces.csv check
  pillarix-batch loadsection=lcolumn.sec Edit69=10 section pm
  pillarix-batch ComboBox1=2 exportsection=src1.sec
  pillarix-batch ComboBox11=2 Edit72=12000 member
)HELP");
}

int RunBatch(const QStringList& args, std::string& out, std::string& err) {
    out.clear();
    err.clear();
    if (args.contains("--help")) {
        out = BatchHelp().toStdString();
        return kBatchOk;
    }
    std::vector<Step> steps;
    QString reason;
    if (!parseArgs(args, steps, reason)) return usage(err, reason);

    try {
        BatchPlatform platform;
        // The start-up runs on the built-in defaults before any assignment;
        // every command re-reads the fields, so nothing it might report
        // concerns the commands that follow.
        TForm1 form(&platform);
        platform.reset();

        for (const Step& s : steps) {
            if (s.kind != StepKind::SetCombo) continue;
            const QComboBox* c = comboOf(form, s.number);
            const int i = s.text.toInt();
            if (!c || i >= c->count())
                return usage(err, QString("ComboBox%1 has no item %2 (0..%3)")
                                      .arg(s.number)
                                      .arg(s.text)
                                      .arg(c ? c->count() - 1 : -1));
        }

        std::string printed;
        for (const Step& s : steps) {
            if (!runStep(form, platform, s, printed)) {
                err = platform.message.toStdString() + "\n";
                return kBatchFailed;
            }
        }
        out = std::move(printed);
        err = platform.warnings;
        return kBatchOk;
    } catch (const std::exception& e) {
        err = displayMessage(e.what()) + "\n";
    } catch (...) {
        err = "Unexpected error\n";
    }
    out.clear();
    return kBatchFailed;
}

}  // namespace px
