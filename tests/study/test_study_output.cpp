// Where pillarix-study writes: an --out that is one of its inputs is
// refused, a stopped study leaves neither half a row nor a half-written
// file, and lines of blanks are no rows.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <string>

#include "input/error.h"
#include "study/study.h"
#include "study/study_output.h"

using namespace px;

namespace {

const QString kStudy = QStringLiteral(PILLARIX_BINARY_DIR "/pillarix-study");

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

// Rows of small meshes and few P-M levels: thousands a second.
QByteArray quickRows(int count) {
    QByteArray t = "Name,Edit1,Edit12,Edit13,Edit33,Edit52,Edit53\r\n";
    for (int i = 0; i < count; ++i) t += QString("C%1,%2,3,3,4,10,10\r\n").arg(i).arg(2000 + i % 400).toUtf8();
    return t;
}

}  // namespace

TEST(StudyOutput, AnOutputThatIsAnInputIsRefusedBeforeAnyRow) {
    QTemporaryDir dir;
    const QByteArray forces = "Story,Col,Case,Loc,P,V2,V3,T,M2,M3\r\n1,C1,A,0,-1000,0,0,0,10,20\r\n";
    const QByteArray table =
        "Name,Forces,Section File,Edit12,Edit13\r\nC1,,,4,4\r\nC2,loads/f.csv,,4,4\r\nC3,,loads/s.sec,4,4\r\n";
    const QByteArray section = "cover 0 0 400 0 400 400 0 400\nbar 200 200 20\n";
    QDir(dir.path()).mkdir("loads");
    writeFile(dir.filePath("t.csv"), table);
    writeFile(dir.filePath("loads/f.csv"), forces);
    writeFile(dir.filePath("loads/s.sec"), section);
    ASSERT_EQ(link(dir.filePath("t.csv").toLocal8Bit().constData(), dir.filePath("t2.csv").toLocal8Bit().constData()), 0);
    ASSERT_EQ(link(dir.filePath("loads/f.csv").toLocal8Bit().constData(), dir.filePath("f2.csv").toLocal8Bit().constData()),
              0);
    struct Case {
        const char* out;
        int status;
        const char* err;
    };
    const Case cases[] = {
        {"t.csv", 2, "pillarix-study: --out \"t.csv\" is the table being read; give another output file.\n"},
        {"./loads/../t.csv", 2,
         "pillarix-study: --out \"./loads/../t.csv\" is the table being read; give another output file.\n"},
        {"t2.csv", 2, "pillarix-study: --out \"t2.csv\" is the table being read; give another output file.\n"},
        {"loads/f.csv", 2,
         "pillarix-study: --out \"loads/f.csv\" is the force file \"loads/f.csv\" of column \"C2\"; give another "
         "output file.\n"},
        {"f2.csv", 2,
         "pillarix-study: --out \"f2.csv\" is the force file \"loads/f.csv\" of column \"C2\"; give another output "
         "file.\n"},
        {"loads/s.sec", 2,
         "pillarix-study: --out \"loads/s.sec\" is the section file \"loads/s.sec\" of column \"C3\"; give another "
         "output file.\n"},
        {"new.csv", 0, ""},
    };
    for (const Case& c : cases) {
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.start(kStudy, {"t.csv", "--out", c.out});
        ASSERT_TRUE(p.waitForFinished(60000)) << c.out;
        EXPECT_EQ(p.exitCode(), c.status) << c.out;
        EXPECT_EQ(p.readAllStandardError().toStdString(), c.err) << c.out;
        EXPECT_EQ(p.readAllStandardOutput(), "") << c.out;
        EXPECT_EQ(readAll(dir.filePath("t.csv")), table) << c.out;
        EXPECT_EQ(readAll(dir.filePath("loads/f.csv")), forces) << c.out;
        EXPECT_EQ(readAll(dir.filePath("loads/s.sec")), section) << c.out;
    }
    EXPECT_TRUE(readAll(dir.filePath("new.csv")).endsWith(",ok\r\n"));

    // Run from the table's parent folder: its force files are still found
    // in the table's folder, not the current one.
    QDir(dir.path()).mkpath("proj/loads");
    writeFile(dir.filePath("proj/t.csv"), table);
    writeFile(dir.filePath("proj/loads/f.csv"), forces);
    QProcess p;
    p.setWorkingDirectory(dir.path());
    p.start(kStudy, {"proj/t.csv", "--out", "proj/loads/f.csv"});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 2);
    EXPECT_EQ(p.readAllStandardError().toStdString(),
              "pillarix-study: --out \"proj/loads/f.csv\" is the force file \"loads/f.csv\" of column \"C2\"; give "
              "another output file.\n");
    EXPECT_EQ(readAll(dir.filePath("proj/loads/f.csv")), forces);
}

// The first output that cannot be written ends the study: no further row
// is read, on one thread or several.
TEST(StudyOutput, TheStudyStopsAtTheFirstFailedWrite) {
    QTemporaryDir dir;
    writeFile(dir.filePath("t.csv"), quickRows(20000));
    for (const int threads : {1, 2}) {
        SCOPED_TRACE(threads);
        StudyTable table(dir.filePath("t.csv").toStdString());
        StudyOptions o;
        o.Threads = threads;
        int writes = 0;
        std::string message;
        try {
            RunStudy(table, o, [&](std::string_view) {
                if (++writes == 40) throw AppError("Cannot write file \"x\". File too large");
            });
        } catch (const AppError& e) {
            message = e.what();
        }
        EXPECT_EQ(message, "Cannot write file \"x\". File too large");
        EXPECT_EQ(writes, 40);
        EXPECT_LT(table.LineNumber(), 100);
    }
    // A file: its first failed write throws, and so does every later one.
    const std::string out = dir.filePath("out.csv").toStdString();
    StudyOutput output(out);
    std::string first, again;
    {
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        const auto handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lower = old;
        lower.rlim_cur = 1000;
        setrlimit(RLIMIT_FSIZE, &lower);
        try {
            output.write(std::string(100000, 'x'));
        } catch (const AppError& e) {
            first = e.what();
        }
        try {
            output.write("y\r\n");
        } catch (const AppError& e) {
            again = e.what();
        }
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, handler);
    }
    EXPECT_EQ(first, "Cannot write file \"" + out + "\". File too large");
    EXPECT_EQ(again, first);
}

// Standard output that goes away (a reader that stops, with SIGPIPE
// ignored) ends the study with the reason.
TEST(StudyOutput, ABrokenPipeEndsTheStudy) {
    QTemporaryDir dir;
    writeFile(dir.filePath("t.csv"), quickRows(20000));
    QProcess p;
    p.setWorkingDirectory(dir.path());
    p.start("/bin/bash", {"-c", "trap '' PIPE; \"$0\" t.csv --threads 2 | head -c 100 > /dev/null; exit ${PIPESTATUS[0]}",
                          kStudy});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 2);
    EXPECT_EQ(p.readAllStandardError().toStdString(), "pillarix-study: Cannot write to standard output. Broken pipe.\n");
}

TEST(StudyOutput, AStoppedStudyLeavesNoHalfRowAndNoFile) {
    QTemporaryDir dir;
    writeFile(dir.filePath("t.csv"), quickRows(200000));
    const QByteArray old = "an earlier output\r\n";
    struct Case {
        int signal;
        bool toFile;  // --out, else standard output
    };
    const Case cases[] = {{SIGTERM, true}, {SIGINT, true}, {SIGKILL, true}, {SIGTERM, false}, {SIGKILL, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.toFile ? "--out" : "stdout") + ", signal " + std::to_string(c.signal));
        writeFile(dir.filePath("out.csv"), old);
        QProcess p;
        p.setWorkingDirectory(dir.path());
        if (!c.toFile) p.setStandardOutputFile(dir.filePath("stdout.csv"));
        p.start(kStudy, c.toFile ? QStringList{"t.csv", "--threads", "2", "--out", "out.csv"}
                                 : QStringList{"t.csv", "--threads", "2"});
        ASSERT_TRUE(p.waitForStarted());
        // Stopped while rows are being written.
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 20000 && QFileInfo(dir.filePath("stdout.csv")).size() < 300000) {
            if (c.toFile && clock.elapsed() > 1500) break;
            QThread::msleep(20);
        }
        ASSERT_EQ(p.state(), QProcess::Running) << "the study ended before it was stopped";
        ::kill(static_cast<pid_t>(p.processId()), c.signal);
        ASSERT_TRUE(p.waitForFinished(20000));
        EXPECT_EQ(p.exitStatus(), QProcess::CrashExit);
        if (c.toFile) {
            EXPECT_EQ(readAll(dir.filePath("out.csv")), old);
            EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"out.csv", "t.csv"}));
        } else {
            const QByteArray out = readAll(dir.filePath("stdout.csv"));
            EXPECT_GT(out.size(), 0);
            EXPECT_TRUE(out.endsWith(",ok\r\n")) << out.right(60).toStdString();
            QFile::remove(dir.filePath("stdout.csv"));
        }
    }
}

TEST(StudyTable, LinesOfBlanksAreSkippedLikeEmptyLines) {
    QTemporaryDir dir;
    const QString path = dir.filePath("t.csv");
    writeFile(path, "Name,Edit12,Edit13\r\n   \r\nC1,4,4\r\n \t , \r\n\r\nC2,4,4\r\n    ");
    StudyTable t(path.toStdString());
    EXPECT_EQ(t.RowCount(), 2);
    std::string out;
    StudyOptions o;
    const StudySummary s = RunStudy(t, o, [&](std::string_view text) { out += text; });
    EXPECT_EQ(s.Rows, 2);
    EXPECT_EQ(s.Failed, 0);
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 3);
    EXPECT_EQ(out.find("no Name"), std::string::npos);
}
