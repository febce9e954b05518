// Project files through the real main window: save and open every section
// type, bad files, the modified mark and title, the unsaved-changes question,
// and the batch commands.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <bit>
#include <cstdint>
#include <functional>
#include <memory>

#include "common/ui/grid_model.h"
#include "app/ui/tform1.h"
#include "batch/ui/batch_runner.h"
#include "check/ui/pmm_page.h"
#include "check/ui/surface_view.h"
#include "output/ui/tform2.h"
#include "project/ui/project_controller.h"
#include "support/scripted_platform.h"

using namespace px;

void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

const QString kCaption = "PILLARIX v1.2(Section Analysis Program)Version(2014-09-06)";

const QByteArray kForces =
    "Story,Col,Case,Loc,P,V2,V3,T,M2,M3\r\n"
    "1,C1,D,0,-1500.25,1,2,0,300.1,-200\r\n"
    "1,C1,L,0,-6000,1,2,0,100,2500.3\r\n"
    "2,C\xC3\xA9,W,0,500,1,2,0,-400,0.1\r\n";

struct Window {
    ScriptedPlatform platform;
    std::unique_ptr<TForm1> form = std::make_unique<TForm1>(&platform);

    QLineEdit* edit(int n) { return form->edit(n); }
    QComboBox* combo(int n) { return form->findChild<QComboBox*>(QString("ComboBox%1").arg(n)); }
    StringGrid* grid(const char* name) { return form->findChild<StringGrid*>(name); }
    Swatch* swatch(int n) { return form->findChild<Swatch*>(QString("Shape%1").arg(n)); }
    QString label66() { return form->findChild<QLabel*>("Label66")->text(); }
    void click(int n) {
        QTest::mouseClick(form->findChild<QPushButton*>(QString("Button%1").arg(n)), Qt::LeftButton);
    }
    void type(int n, const QString& text) {
        edit(n)->selectAll();
        QTest::keyClicks(edit(n), text);
    }
    bool modified() { return form->project().modified(); }
    QStringList pmText() {
        form->Button2Click();
        form->Button5Click();
        return form->resultWindow()->lines();
    }
    QString errors() const { return platform.errors.join(" | "); }
};

QString writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

// What a failed open must leave alone.
struct Snapshot {
    QStringList edits;
    QList<int> combos;
    QList<QColor> colors;
    QStringList cells;
    QString title, label66;
    std::string path;
    int count = 0;
    bool modified = false;
    QImage section;
    bool operator==(const Snapshot&) const = default;
};

Snapshot snapshot(Window& w) {
    Snapshot s;
    for (int n = 1; n <= 64; ++n) s.edits << w.edit(n)->text();
    for (int n = 1; n <= 8; ++n) s.combos << w.combo(n)->currentIndex();
    for (int n = 1; n <= 5; ++n) s.colors << w.swatch(n)->color();
    const GridModel* g = w.grid("StringGrid1")->grid();
    for (int r = 0; r < g->rowCount(); ++r)
        for (int c = 0; c < g->columnCount(); ++c) s.cells << g->cell(c, r);
    s.title = w.form->windowTitle();
    s.label66 = w.label66();
    s.path = w.form->workspace().ProjectPath;
    s.count = w.form->workspace().Loads.Count;
    s.modified = w.modified();
    s.section = w.form->imageBox(1)->image();
    return s;
}

std::uint64_t bits(double v) { return std::bit_cast<std::uint64_t>(v); }

}  // namespace

TEST(ProjectWindow, EverySectionTypeReadsBackIntoAFreshWindow) {
    QTemporaryDir dir;
    const QString csv = writeFile(dir.filePath("forces.csv"), kForces);
    for (int type = 0; type < 8; ++type) {
        SCOPED_TRACE("section type " + std::to_string(type + 1));
        const QString path = dir.filePath(QString("type%1.pxc").arg(type + 1));
        Window a;
        a.combo(1)->setCurrentIndex(type);
        a.type(1, QString::number(2100 + 10 * type));
        a.type(3, "45");
        a.type(42, "1500");
        a.type(57, "1.5");
        a.combo(7)->setCurrentIndex(1);
        a.combo(8)->setCurrentIndex(type % 2);  // strain limits at the outline for every other type
        // All five colours, so that none is lost on the way.
        for (int k = 1; k <= 5; ++k) a.platform.colorAnswers.push_back(QColor(10 * k, 20, 30 + type));
        a.form->Shape1MouseDown();
        a.form->Shape2MouseDown();
        a.form->Shape3MouseDown();
        a.form->Shape4MouseDown();
        a.form->Shape5MouseDown();
        a.platform.openAnswers.push_back(csv);
        a.click(4);
        a.type(58, "0.75");  // "Input" after the import: the factors in effect differ from the import's
        a.click(13);
        a.platform.saveAnswers.push_back(path);
        a.form->N3Click();
        ASSERT_TRUE(a.platform.errors.isEmpty()) << a.errors().toStdString();
        EXPECT_EQ(a.platform.saveFilters.value(0), "Pillarix column (*.pxc)");
        a.form->Button1Click();  // the section information and picture of what was typed

        Window b;
        b.platform.openAnswers.push_back(path);
        b.form->N2Click();
        ASSERT_TRUE(b.platform.errors.isEmpty()) << b.errors().toStdString();
        EXPECT_EQ(b.form->windowTitle(), QString("type%1.pxc - ").arg(type + 1) + kCaption);
        EXPECT_FALSE(b.modified());
        EXPECT_EQ(b.form->pages()->currentIndex(), 0);

        const Snapshot sa = snapshot(a), sb = snapshot(b);
        EXPECT_EQ(sa.edits, sb.edits);
        EXPECT_EQ(sa.combos, sb.combos);
        EXPECT_EQ(sa.colors, sb.colors);
        for (int k = 1; k <= 5; ++k) EXPECT_EQ(sb.colors.value(k - 1), QColor(10 * k, 20, 30 + type)) << "Shape" << k;
        EXPECT_EQ(sa.cells, sb.cells);
        EXPECT_EQ(sa.label66, sb.label66);
        EXPECT_TRUE(sa.section == sb.section);
        for (int r = 0; r < 5; ++r)
            for (int c = 0; c < 4; ++c) EXPECT_EQ(a.grid("StringGrid2")->cell(c, r), b.grid("StringGrid2")->cell(c, r));

        const Workspace &wa = a.form->workspace(), &wb = b.form->workspace();
        ASSERT_EQ(wb.Loads.Count, 3);
        ASSERT_EQ(wb.Loads.Items.size(), wa.Loads.Items.size());
        for (int i = 1; i <= 3; ++i) {
            EXPECT_EQ(bits(wb.Loads.Items[i].P), bits(wa.Loads.Items[i].P));
            EXPECT_EQ(bits(wb.Loads.Items[i].Mx), bits(wa.Loads.Items[i].Mx));
            EXPECT_EQ(bits(wb.Loads.Items[i].My), bits(wa.Loads.Items[i].My));
        }
        EXPECT_EQ(wb.ForceFactorP, 1.5);
        EXPECT_EQ(wb.ForceFactorMx, 0.75);
        EXPECT_EQ(wb.ForceCols.P, wa.ForceCols.P);
        EXPECT_EQ(wb.ForceCols.My, wa.ForceCols.My);
        EXPECT_EQ(wb.ForceCols.Name, wa.ForceCols.Name);
        EXPECT_EQ(wb.ForceCols.MxOther, wa.ForceCols.MxOther);
        EXPECT_EQ(b.form->project().importedFile(), "forces.csv");
        EXPECT_EQ(a.pmText(), b.pmText());
    }
}

TEST(ProjectWindow, ABadFileLeavesTheWindowAsItWas) {
    QTemporaryDir dir;
    Window w;
    w.platform.saveAnswers.push_back(dir.filePath("good.pxc"));
    w.form->N3Click();
    const QByteArray good = readFile(dir.filePath("good.pxc"));
    w.type(1, "1999");  // unsaved: each open asks first, and is told to discard

    const QByteArray head = R"({"format": "pillarix-column", "version": 1, )";
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* problem;
    } cases[] = {
        {"bad.pxc", "{\"format\": pillarix}", "at byte offset 11: unexpected 'p'"},
        {"truncated.pxc", good.left(good.size() / 2), "at byte offset"},
        {"type.pxc", head + R"("fields": {"Edit1": 1500}})", "fields.Edit1 must be text in quotes"},
        {"count.pxc", head + R"("forces": {"count": 3, "items": [[1, 2, 3]]}})", "forces.count is 3 but"},
        {"inf.pxc", head + R"("forces": {"count": 1, "items": [[1e999, 2, 3]]}})", "a number out of range"},
        {"newer.pxc", R"({"format": "pillarix-column", "version": 2})", "newer Pillarix"},
        {"huge.pxc", {}, "a project file holds at most 64 MB"},
        {"missing.pxc", {}, "No such file or directory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(c.name);
        if (!c.bytes.isEmpty()) writeFile(path, c.bytes);
        if (QString(c.name) == "huge.pxc") {
            QFile f(path);  // 100 MB, never read
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            ASSERT_TRUE(f.resize(100 << 20));
        }
        const Snapshot before = snapshot(w);
        w.platform.errors.clear();
        w.platform.openAnswers.push_back(path);
        w.form->N2Click();
        ASSERT_EQ(w.platform.errors.size(), 1);
        EXPECT_TRUE(w.platform.errors[0].contains(c.name)) << w.errors().toStdString();
        EXPECT_TRUE(w.platform.errors[0].contains(c.problem)) << w.errors().toStdString();
        EXPECT_TRUE(snapshot(w) == before);
    }
    EXPECT_EQ(w.platform.saveChangesAsked.size(), 8);
}

TEST(ProjectWindow, ChangesMarkTheTitle) {
    QTemporaryDir dir;
    const QString csv = writeFile(dir.filePath("forces.csv"), kForces);
    Window w;
    EXPECT_EQ(w.form->windowTitle(), kCaption);
    w.type(1, "2000");
    EXPECT_TRUE(w.modified());
    EXPECT_EQ(w.form->windowTitle(), kCaption);  // no project file yet
    w.platform.saveAnswers.push_back(dir.filePath("c7"));
    w.form->SaveAs1Click();
    ASSERT_TRUE(w.platform.errors.isEmpty()) << w.errors().toStdString();
    EXPECT_EQ(w.platform.saveProposals.value(0), "column.pxc");

    const std::pair<const char*, std::function<void()>> actions[] = {
        {"typing", [&] { QTest::keyClicks(w.edit(33), "1"); }},
        {"combo", [&] { QTest::keyClick(w.combo(7), Qt::Key_Down); }},
        {"section type menu", [&] { w.form->findChild<QAction*>("N20")->trigger(); }},
        {"colour", [&] {
             w.platform.colorAnswers.push_back(QColor(1, 2, 3));
             QTest::mouseClick(w.swatch(4), Qt::LeftButton);
         }},
        {"import", [&] {
             w.platform.openAnswers.push_back(csv);
             w.click(4);
         }},
        {"Input", [&] { w.click(13); }},
    };
    // The batch platform appends no suffix; the scripted one neither: the name is as chosen.
    const QString name = "c7";
    for (const auto& [what, act] : actions) {
        SCOPED_TRACE(what);
        w.form->N3Click();
        EXPECT_EQ(w.form->windowTitle(), name + " - " + kCaption);
        EXPECT_FALSE(w.modified());
        act();
        EXPECT_TRUE(w.modified());
        EXPECT_EQ(w.form->windowTitle(), name + "* - " + kCaption);
    }
    EXPECT_TRUE(w.platform.errors.isEmpty()) << w.errors().toStdString();
    w.form->SaveAs1Click();  // proposes the file where it is, not a bare name
    EXPECT_EQ(w.platform.saveProposals.value(1), QFileInfo(dir.filePath("c7")).absoluteFilePath());

    // Commands that only compute change nothing.
    w.form->N3Click();
    w.form->Button1Click();
    w.form->Button2Click();
    w.form->PM1Click();
    EXPECT_FALSE(w.modified());
}

TEST(ProjectWindow, TheUnsavedChangesQuestion) {
    QTemporaryDir dir;
    const QString path = dir.filePath("c.pxc");
    Window w;
    w.platform.saveAnswers.push_back(path);
    w.form->N3Click();
    const QByteArray saved = readFile(path);
    w.type(1, "1234");

    // Cancel: Quit and Open stop there.
    w.platform.saveChangesAnswers = {SaveChoice::Cancel, SaveChoice::Cancel};
    EXPECT_FALSE(w.form->close());
    w.platform.openAnswers.push_back(path);
    w.form->N2Click();
    EXPECT_EQ(w.platform.openAnswers.size(), 1u);  // no file was asked for
    w.platform.openAnswers.clear();
    EXPECT_EQ(w.edit(1)->text(), "1234");
    EXPECT_TRUE(w.modified());
    EXPECT_EQ(w.platform.saveChangesAsked, QStringList({"c.pxc", "c.pxc"}));

    // Discard: the window closes, the file stays as it was.
    w.platform.saveChangesAnswers = {SaveChoice::Discard};
    EXPECT_TRUE(w.form->close());
    EXPECT_EQ(readFile(path), saved);

    // Save: the file gets the change first.
    w.platform.saveChangesAnswers = {SaveChoice::Save};
    EXPECT_TRUE(w.form->close());
    EXPECT_TRUE(readFile(path).contains("\"Edit1\": \"1234\""));
    EXPECT_FALSE(w.modified());
    EXPECT_TRUE(w.form->close());  // nothing to ask any more
    EXPECT_EQ(w.platform.saveChangesAsked.size(), 4);

    // A save that fails keeps the window open, the earlier file intact and
    // the project where it was.
    w.type(1, "99");
    w.platform.saveChangesAnswers = {SaveChoice::Save};
    QFile::remove(path);
    ASSERT_TRUE(QDir().mkdir(path));  // a folder where the file was
    EXPECT_FALSE(w.form->close());
    ASSERT_EQ(w.platform.errors.size(), 1);
    EXPECT_TRUE(w.platform.errors[0].startsWith("Cannot save project file \"" + path + "\": "));
    w.platform.saveAnswers.push_back(dir.filePath("gone/x.pxc"));
    w.form->SaveAs1Click();
    ASSERT_EQ(w.platform.errors.size(), 2);
    EXPECT_TRUE(w.platform.errors[1].contains("gone/x.pxc"));
    EXPECT_EQ(w.form->workspace().ProjectPath, path.toStdString());
    EXPECT_TRUE(w.modified());
}

TEST(ProjectWindow, OpeningClearsTheCheckOnThe3DPageAtOnce) {
    // The same column and forces: nothing on the page changes but the check.
    QTemporaryDir dir;
    const QString csv = writeFile(dir.filePath("forces.csv"), kForces);
    Window w;
    w.platform.openAnswers.push_back(csv);
    w.click(4);
    w.form->findChild<QLineEdit*>("Edit65")->setText("4");
    w.click(18);  // Gen PMM Surface
    w.click(19);  // Check Forces
    w.platform.saveAnswers.push_back(dir.filePath("c.pxc"));
    w.form->N3Click();
    PmmPage& page = *w.form->pmmPage();
    auto dots = [&] {
        const QImage& img = page.picture()->image();
        int n = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) n += (img.pixel(x, y) & 0xFFFFFF) == kDotOk;
        return n;
    };
    ASSERT_GT(dots(), 0);
    ASSERT_EQ(page.table()->model()->rowCount(), 3);

    w.platform.openAnswers.push_back(dir.filePath("c.pxc"));
    w.form->N2Click();
    ASSERT_TRUE(w.platform.errors.isEmpty()) << w.errors().toStdString();
    EXPECT_FALSE(w.form->workspace().Check);
    EXPECT_EQ(page.summaryText(), "");
    EXPECT_EQ(page.summary()->text(), "");
    EXPECT_EQ(page.table()->model()->rowCount(), 0);
    EXPECT_EQ(dots(), 0);
    EXPECT_FALSE(page.picture()->wire().empty());  // the surface of the same column stays
}

TEST(ProjectWindow, BatchSavesAndOpensProjects) {
    QTemporaryDir dir;
    const QString csv = writeFile(dir.filePath("forces.csv"), kForces);
    const QString pxc = dir.filePath("c7.pxc");
    std::string out, err;
    ASSERT_EQ(RunBatch({"Edit1=1500", "Edit57=2", "import=" + csv, "saveproject=" + pxc}, out, err), kBatchOk) << err;
    std::string expected, opened;
    ASSERT_EQ(RunBatch({"Edit1=1500", "Edit57=2", "pm", "import=" + csv}, expected, err), kBatchOk) << err;
    ASSERT_EQ(RunBatch({"open=" + pxc, "pm", "import=" + csv}, opened, err), kBatchOk) << err;
    EXPECT_EQ(opened, expected);

    const QString bad = writeFile(dir.filePath("bad.pxc"), "{");
    EXPECT_EQ(RunBatch({"open=" + bad, "pm"}, out, err), kBatchFailed);
    EXPECT_EQ(out, "");
    EXPECT_EQ(err, "Cannot open project file \"" + bad.toStdString() + "\": at byte offset 1: the data ends too early.\n");
    EXPECT_EQ(RunBatch({"saveproject=" + dir.filePath("gone/x.pxc")}, out, err), kBatchFailed);
    EXPECT_EQ(RunBatch({"open="}, out, err), kBatchUsage);
}

// A custom section travels inside the project: saved, its file deleted, the
// project opens in a fresh window with the same section and curves. A kept
// section that no longer reads refuses the whole file.
TEST(ProjectWindow, ACustomSectionOpensWithoutItsFile) {
    QTemporaryDir dir;
    const QString sec = writeFile(dir.filePath("lcol.sec"),
                                  "cover 0 0 600 0 600 200 200 200 200 600 0 600\n"
                                  "hole 50 50 150 50 150 150 50 150\nbar 560 160 20\nbar 40 560 20\n");
    const QString path = dir.filePath("custom.pxc");
    Window a;
    a.combo(1)->setCurrentIndex(8);
    a.platform.openAnswers.push_back(sec);
    QTest::mouseClick(a.form->findChild<QPushButton*>("LoadSectionButton"), Qt::LeftButton);
    a.type(69, "12");
    a.click(1);
    a.platform.saveAnswers.push_back(path);
    a.form->N3Click();
    ASSERT_TRUE(a.platform.errors.isEmpty()) << a.errors().toStdString();
    ASSERT_TRUE(QFile::remove(sec));

    Window b;
    b.platform.openAnswers.push_back(path);
    b.form->N2Click();
    ASSERT_TRUE(b.platform.errors.isEmpty()) << b.errors().toStdString();
    EXPECT_EQ(b.combo(1)->currentIndex(), 8);
    EXPECT_EQ(b.edit(69)->text(), "12");
    EXPECT_EQ(b.form->findChild<QLabel*>("SectionFileLabel")->text(), "File: lcol.sec");
    EXPECT_EQ(b.form->workspace().Fibers.NFib, a.form->workspace().Fibers.NFib);
    EXPECT_TRUE(snapshot(a).section == snapshot(b).section);
    EXPECT_EQ(a.pmText(), b.pmText());

    // Old files without a section open as before; a section that does not read is refused.
    QByteArray text = readFile(path);
    const qsizetype at = text.indexOf("\"content\": \"cover 0 0");
    ASSERT_GT(at, 0);
    text.replace(at, 21, "\"content\": \"cover 0 X");
    Window c;
    c.platform.openAnswers.push_back(writeFile(dir.filePath("bad.pxc"), text));
    c.form->N2Click();
    ASSERT_EQ(c.platform.errors.size(), 1);
    EXPECT_TRUE(c.platform.errors[0].contains("lcol.sec")) << c.errors().toStdString();
    EXPECT_EQ(c.combo(1)->currentIndex(), 0);
}

// A kept section file whose text would grow past the 64 MB a project file may
// hold (every line break is written as "\n") is refused at "Save File": such a
// project could not be opened again. The file on disk keeps its bytes.
TEST(ProjectWindow, AProjectTooLargeToOpenAgainIsNotSaved) {
    QTemporaryDir dir;
    QByteArray big = "cover 0 0 400 0 400 400 0 400\n";
    big += QByteArray(40 << 20, '\n');
    const QString sec = writeFile(dir.filePath("big.sec"), big);
    const QString path = writeFile(dir.filePath("old.pxc"), "old bytes");
    Window w;
    w.combo(1)->setCurrentIndex(8);
    w.platform.openAnswers.push_back(sec);
    QTest::mouseClick(w.form->findChild<QPushButton*>("LoadSectionButton"), Qt::LeftButton);
    ASSERT_TRUE(w.platform.errors.isEmpty()) << w.errors().toStdString();
    EXPECT_FALSE(w.form->project().saveTo(path));
    ASSERT_EQ(w.platform.errors.size(), 1);
    EXPECT_TRUE(w.platform.errors[0].contains("a project file holds at most 64 MB")) << w.errors().toStdString();
    EXPECT_EQ(readFile(path), "old bytes");
}
