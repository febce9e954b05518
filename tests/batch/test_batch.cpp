// pillarix-batch: its output against the real window driven by hand, its
// failures and its usage errors, in-process and as a separate program.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <memory>

#include "common/ui/grid_model.h"
#include "app/ui/tform1.h"
#include "batch/ui/batch_runner.h"
#include "output/ui/tform2.h"
#include "support/scripted_platform.h"
#include "support/sections.h"
#include "section/section_export.h"

using namespace px;

namespace {

struct Outcome {
    int status = -1;
    std::string out, err;
};

Outcome batch(const QStringList& args) {
    Outcome r;
    r.status = RunBatch(args, r.out, r.err);
    return r;
}

// The window as a user has it, for the expected texts.
struct Window {
    ScriptedPlatform platform;
    std::unique_ptr<TForm1> form = std::make_unique<TForm1>(&platform);

    void chooseType(int index) {
        form->findChild<QComboBox*>("ComboBox1")->setCurrentIndex(index);
    }
    std::string resultText() const {
        std::string s;
        for (const QString& l : form->resultWindow()->lines()) s += l.toStdString() + "\n";
        return s;
    }
    std::string pmText() {
        form->Button2Click();
        form->Button5Click();
        return resultText();
    }
    std::string mmText() {
        form->Button7Click();
        form->Button6Click();
        return resultText();
    }
    std::string sectionText() const {
        std::string s = "NFib = " + std::to_string(form->workspace().Fibers.NFib) + "\n";
        const std::pair<const char*, int> rows[] = {{"Gross Area", 36}, {"Conc Area", 31}, {"Rebar Area", 37},
                                                    {"Ratio(%)", 39},   {"Steel Area", 38}, {"Ratio(%)", 40}};
        for (const auto& [caption, n] : rows)
            s += std::string(caption) + " = " + form->edit(n)->text().toStdString() + "\n";
        return s;
    }
};

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

}  // namespace

TEST(Batch, DefaultColumnCurvesAreTheWindowsText) {
    Window w;
    const std::string pm = w.pmText();
    const std::string mm = w.mmText();
    ASSERT_TRUE(w.platform.errors.isEmpty());
    ASSERT_NE(mm.find("Mx-My_Curve_Data"), std::string::npos);

    const Outcome r = batch({"pm", "mm"});
    EXPECT_EQ(r.status, kBatchOk);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, pm + mm);
}

TEST(Batch, CircularColumnWithChangedFieldsIsTheWindowsText) {
    Window w;
    w.form->edit(1)->setText("1000");
    w.form->edit(33)->setText("20");
    w.form->edit(64)->setText("500");
    w.form->edit(30)->setText("2000");
    w.chooseType(1);
    const std::string section = w.sectionText();
    const std::string pm = w.pmText();
    const std::string mm = w.mmText();
    ASSERT_TRUE(w.platform.errors.isEmpty()) << w.platform.errors.join("\n").toStdString();
    EXPECT_EQ(w.form->workspace().Fibers.NFib, 180);

    const Outcome r = batch({"Edit1=1000", "Edit33=20", "ComboBox1=1", "section", "pm", "Edit64=500",
                         "Edit30=2000", "mm"});
    EXPECT_EQ(r.status, kBatchOk) << r.err;
    EXPECT_EQ(r.out, section + pm + mm);
}

TEST(Batch, StrainLimitsAtTheOutlineAsTheWindowSetsThem) {
    Window w;
    w.chooseType(1);
    w.form->findChild<QComboBox*>("ComboBox8")->setCurrentIndex(1);
    w.form->edit(30)->setText("20000");
    const std::string mm = w.mmText();
    ASSERT_TRUE(w.platform.errors.isEmpty()) << w.platform.errors.join("\n").toStdString();
    const Outcome outline = batch({"ComboBox1=1", "ComboBox8=1", "section", "Edit30=20000", "mm"});
    const Outcome corners = batch({"ComboBox1=1", "section", "Edit30=20000", "mm"});
    EXPECT_EQ(outline.status, kBatchOk) << outline.err;
    EXPECT_NE(outline.out.find(mm), std::string::npos);
    EXPECT_EQ(corners.out.find(mm), std::string::npos);
}

TEST(Batch, TwoSectionsWithAssignmentsBetweenThem) {
    Window w;
    const std::string first = w.sectionText();
    w.form->edit(1)->setText("1800");
    w.chooseType(6);  // circular SRC, its steel cross inside the circle
    const std::string second = w.sectionText();
    ASSERT_TRUE(w.platform.errors.isEmpty()) << w.platform.errors.join("\n").toStdString();

    const Outcome r = batch({"section", "Edit1=1800", "ComboBox1=6", "section"});
    EXPECT_EQ(r.status, kBatchOk) << r.err;
    EXPECT_EQ(r.out, first + second);
    EXPECT_EQ(first,
              "NFib = 248\nGross Area = 4840000\nConc Area = 4840000\nRebar Area = 49063\n"
              "Ratio(%) = 1.014\nSteel Area = 0\nRatio(%) = 0.000\n");
    EXPECT_NE(first, second);
}

TEST(Batch, AnErrorPrintsOnlyTheMessage) {
    const Outcome bad = batch({"Edit3=abc", "section", "pm"});
    EXPECT_EQ(bad.status, kBatchFailed);
    EXPECT_EQ(bad.out, "");
    EXPECT_EQ(bad.err, "Cover as (Section page): 'abc' is not a valid floating point value.\n");

    // Output of the commands before the failing one is discarded too, and the
    // first message is the one reported.
    const Outcome late = batch({"section", "Edit53=1.5", "pm", "Edit3=x", "section"});
    EXPECT_EQ(late.status, kBatchFailed);
    EXPECT_EQ(late.out, "");
    EXPECT_EQ(late.err, "Inside Steps N (PM Curve page): '1.5' is not a valid integer value.\n");

    // A size no section can have is refused by the caption the panel shows.
    const Outcome size = batch({"ComboBox1=2", "Edit1=-5", "section"});
    EXPECT_EQ(size.status, kBatchFailed);
    EXPECT_EQ(size.err, "\"Sec Widht B\" must be greater than 0.\n");

    // A window of no width is refused by the settings check; a sliver of one
    // still solves.
    const Outcome flat = batch({"Edit63=0", "Edit30=1000", "mm"});
    EXPECT_EQ(flat.status, kBatchFailed);
    EXPECT_EQ(flat.err, "\"Extention Factor\" must be greater than 0.\n");
    const Outcome sliver = batch({"Edit63=1e-15", "Edit30=1000", "mm"});
    EXPECT_EQ(sliver.status, kBatchOk) << sliver.err;
    EXPECT_NE(sliver.out.find("Mx-My_Curve_Data"), std::string::npos);
}

TEST(Batch, ImportPrintsTheSummaryAndSavePicturesAsTheButtons) {
    QTemporaryDir dir;
    const QString csv = dir.filePath("forces.csv");
    writeFile(csv, "P,Mx,My\n1000,200,-300\n-500,-4000,10\n2500.6,50,60\n");
    Window w;
    for (int n : {54, 55, 56}) w.form->edit(n)->setText(QString::number(n - 53));
    w.form->edit(1)->setText("1500");
    w.platform.openAnswers.push_back(csv);
    w.form->Button4Click();
    w.form->Button2Click();
    ASSERT_TRUE(w.platform.errors.isEmpty()) << w.platform.errors.join("\n").toStdString();
    std::string summary = w.form->findChild<QLabel*>("Label66")->text().toStdString() + "\n";
    const StringGrid* grid = w.form->findChild<StringGrid*>("StringGrid2");
    for (int r = 0; r < 5; ++r)
        summary += QStringList{grid->cell(0, r), grid->cell(1, r), grid->cell(2, r), grid->cell(3, r)}
                       .join('\t').toStdString() + "\n";
    ASSERT_EQ(summary.substr(0, summary.find('\n')), "Number of Import Force Load Comb = 3");

    const Outcome r = batch({"Edit54=1", "Edit55=2", "Edit56=3", "import=" + csv, "Edit1=1500", "pm", "mm",
                             "save=Image2:" + dir.filePath("x.png"), "save=Image5:" + dir.filePath("mm")});
    ASSERT_EQ(r.status, kBatchOk) << r.err;
    EXPECT_EQ(r.out.substr(0, summary.size()), summary);
    EXPECT_EQ(QImage(dir.filePath("x.png")).convertToFormat(QImage::Format_RGB32),
              w.form->imageBox(2)->image().convertToFormat(QImage::Format_RGB32));
    // A name without a suffix gets the dialog's default one.
    EXPECT_GT(QFileInfo(dir.filePath("mm.jpg")).size(), 0);
}

TEST(Batch, WrongArgumentsAreUsageErrors) {
    const QStringList wrong[] = {
        {},
        {"Edit1=100"},            // no command
        {"sections"},             // unknown command
        {"Edit99=1", "section"},  // unknown control
        {"Button1=1", "section"},
        {"ComboBox1=9", "section"},  // no such item
        {"ComboBox2=2", "section"},
        {"ComboBox8=2", "section"},
        {"ComboBox12=0", "section"},
        {"ComboBox1=one", "section"},
        {"save=Image4:x.png"},
        {"save=Image2"},
        {"save=Image2:"},
        {"import="},
    };
    for (const QStringList& args : wrong) {
        const Outcome r = batch(args);
        const std::string what = args.join(' ').toStdString();
        EXPECT_EQ(r.status, kBatchUsage) << what;
        EXPECT_EQ(r.out, "") << what;
        EXPECT_EQ(r.err.rfind("pillarix-batch: ", 0), 0u) << what << ": " << r.err;
        EXPECT_NE(r.err.find(BatchSynopsis().toStdString()), std::string::npos) << what;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << what;
    }
    // Each command that takes a file names itself when the file is missing.
    for (const char* command : {"import=", "open=", "saveproject=", "report=", "loadsection=", "exportsection="}) {
        const Outcome r = batch({"section", command});
        EXPECT_EQ(r.status, kBatchUsage) << command;
        EXPECT_EQ(r.err.rfind(std::string("pillarix-batch: ") + command + " needs a file name;", 0), 0u) << r.err;
    }
    // A wrong argument anywhere stops the run before anything is done.
    QTemporaryDir dir;
    EXPECT_EQ(batch({"pm", "save=Image2:" + dir.filePath("a.png"), "bogus"}).status, kBatchUsage);
    EXPECT_FALSE(QFile::exists(dir.filePath("a.png")));

    const Outcome help = batch({"--help"});
    EXPECT_EQ(help.status, kBatchOk);
    EXPECT_EQ(help.err, "");
    EXPECT_EQ(help.out.rfind(BatchSynopsis().toStdString(), 0), 0u);
    EXPECT_NE(help.out.find("Example:\n  pillarix-batch "), std::string::npos);
}

TEST(Batch, TheProgramKeepsItsStreamsApart) {
    const QString program = QStringLiteral(PILLARIX_BINARY_DIR "/pillarix-batch");
    ASSERT_TRUE(QFileInfo::exists(program)) << "build the pillarix-batch target first";
    auto runProgram = [&](const QStringList& args, const char* locale = "C") {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("QT_QPA_PLATFORM");  // the program goes offscreen by itself
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        env.insert("LC_ALL", locale);
        p.setProcessEnvironment(env);
        p.start(program, args);
        EXPECT_TRUE(p.waitForFinished(120000));
        Outcome r;
        r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = p.readAllStandardOutput().toStdString();
        r.err = p.readAllStandardError().toStdString();
        return r;
    };

    const Outcome ok = runProgram({"section", "pm"});
    EXPECT_EQ(ok.status, 0);
    EXPECT_EQ(ok.err, "");
    EXPECT_EQ(ok.out, batch({"section", "pm"}).out);

    // A comma locale changes no number: "Ratio(%) = 1.014" keeps its point.
    const Outcome comma = runProgram({"section", "pm"}, "de_DE.UTF-8");
    EXPECT_EQ(comma.status, 0);
    EXPECT_EQ(comma.out, ok.out);

    const Outcome bad = runProgram({"Edit3=abc", "section"});
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.out, "");
    EXPECT_EQ(bad.err, "Cover as (Section page): 'abc' is not a valid floating point value.\n");

    const Outcome size = runProgram({"Edit1=-5", "section"});
    EXPECT_EQ(size.status, 1);
    EXPECT_EQ(size.out, "");
    EXPECT_EQ(size.err, "\"Sec Width B\" must be greater than 0.\n");

    const Outcome usage = runProgram({"-platform", "section"});
    EXPECT_EQ(usage.status, 2);
    EXPECT_EQ(usage.out, "");
    EXPECT_EQ(usage.err.rfind("pillarix-batch: unknown command '-platform'", 0), 0u) << usage.err;
}

// Output that does not all arrive (a full disk, a file-size limit) fails
// both programs, --help included, with the reason on standard error.
TEST(Batch, OutputThatDoesNotArriveIsAFailure) {
    QTemporaryDir dir;
    writeFile(dir.filePath("t.csv"), "Name,Edit12,Edit13,Edit33\nA,4,4,4\n");
    struct Case {
        const char* command;  // run by bash in the folder; $B the binary folder
        int status;
        const char* err;
    };
    const Case cases[] = {
        {"$B/pillarix-batch pm > /dev/full", 1,
         "pillarix-batch: Cannot write to standard output. No space left on device.\n"},
        {"$B/pillarix-batch --help > /dev/full", 1,
         "pillarix-batch: Cannot write to standard output. No space left on device.\n"},
        {"trap '' XFSZ; ulimit -f 4; $B/pillarix-batch surface > s.txt", 1,
         "pillarix-batch: Cannot write to standard output. File too large.\n"},
        {"$B/pillarix-study --help > /dev/full", 2,
         "pillarix-study: Cannot write to standard output. No space left on device.\n"},
        {"$B/pillarix-study t.csv > /dev/full", 2,
         "pillarix-study: Cannot write to standard output. No space left on device.\n"},
        {"$B/pillarix-batch pm > /dev/null", 0, ""},
    };
    for (const Case& c : cases) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("B", PILLARIX_BINARY_DIR);
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(dir.path());
        p.start("/bin/bash", {"-c", c.command});
        ASSERT_TRUE(p.waitForFinished(120000)) << c.command;
        EXPECT_EQ(p.exitCode(), c.status) << c.command;
        EXPECT_EQ(p.readAllStandardError().toStdString(), c.err) << c.command;
    }
}

// A custom section: loaded, meshed and printed, exported back, and the
// failures of a bad file and of "Custom Section" without one.
TEST(Batch, LoadsAndExportsSectionFiles) {
    QTemporaryDir dir;
    const QString l = dir.filePath("l.sec");
    {
        QFile f(l);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        // The L with a hole of the window's tests: 1218 fibers, centroid 226.3158.
        f.write("cover 0 0 600 0 600 200 200 200 200 600 0 600\nhole 50 50 150 50 150 150 50 150\n"
                "bar 560 160 20\nbar 40 560 20\n");
    }
    const Outcome r = batch({"loadsection=" + l, "section", "exportsection=" + dir.filePath("back")});
    ASSERT_EQ(r.status, kBatchOk) << r.err;
    EXPECT_EQ(r.out.rfind("NFib = 1218\nGross Area = 190000\n", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("\nCentroid at x = 226.32, y = 226.32 mm\n"), std::string::npos) << r.out;
    // The surface and moment-curvature run on it too.
    const Outcome more = batch({"loadsection=" + l, "Edit65=3", "surface", "Edit66=3000", "mphi"});
    ASSERT_EQ(more.status, kBatchOk) << more.err;
    EXPECT_NE(more.out.find("\nKey_Values\n"), std::string::npos) << more.out;
    // Exported with the default suffix, it loads back as the same section.
    const Outcome back = batch({"loadsection=" + dir.filePath("back.sec"), "section"});
    EXPECT_EQ(back.out, r.out);
    // A template's file is the one its exporter writes.
    ASSERT_EQ(batch({"ComboBox1=2", "exportsection=" + dir.filePath("src1.sec")}).status, kBatchOk);
    QFile src1(dir.filePath("src1.sec"));
    ASSERT_TRUE(src1.open(QIODevice::ReadOnly));
    EXPECT_EQ(src1.readAll().toStdString(), ExportTemplateSectionFile(fixtures::DefaultInput(3)));

    const struct {
        QStringList args;
        const char* says;
    } failing[] = {
        {{"loadsection=" + dir.filePath("none.sec"), "section"}, "Cannot open the section file"},
        {{"ComboBox1=8", "section"}, "no section is loaded"},
        {{"loadsection=" + l, "Edit69=0", "section"}, "Mesh Size"},
    };
    for (const auto& f : failing) {
        const Outcome bad = batch(f.args);
        EXPECT_EQ(bad.status, kBatchFailed) << f.says;
        EXPECT_EQ(bad.out, "");
        EXPECT_NE(bad.err.find(f.says), std::string::npos) << bad.err;
    }
}
