// Files are replaced whole or not at all: the one way to write a file, every
// file the window writes on a full disk, and the exit codes of
// pillarix-batch and pillarix-study when their file cannot be written. A
// full disk is a file-size limit (RLIMIT_FSIZE with SIGXFSZ ignored): writes
// past it fail with EFBIG, without root or a special file system.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <functional>
#include <iostream>
#include <optional>

#include "common/file_replace.h"
#include "input/error.h"
#include "output/ui/tform2.h"
#include "support/form_window.h"

using namespace px;

namespace {

// Writes past `bytes` fail with EFBIG while it lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        std::cout.flush();
        std::fflush(nullptr);
        getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lower = old_;
        lower.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lower);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

// What a call throws, or "(no error)".
std::string messageOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "(no error)";
}

const QByteArray kOld = QByteArray("an earlier file, ") + QByteArray(3000, 'x') + "\r\nits last line\r\n";

}  // namespace

TEST(FileReplacement, ReplacesTheFileWholeKeepingItsModeAndLinks) {
    QTemporaryDir dir;
    const std::string plain = dir.filePath("plain.txt").toStdString();
    ReplaceFileWith(plain, "first", FileWording(plain));
    EXPECT_EQ(readAll(dir.filePath("plain.txt")), "first");

    // Over an existing file: its permission bits stay.
    chmod(plain.c_str(), 0640);
    const std::string big(200000, 'b');  // past the write buffer
    ReplaceFileWith(plain, big, FileWording(plain));
    EXPECT_EQ(readAll(dir.filePath("plain.txt")).toStdString(), big);
    struct stat st {};
    stat(plain.c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    // Through a link: the file it points to is replaced, the link stays.
    ASSERT_EQ(symlink("plain.txt", dir.filePath("link.txt").toLocal8Bit().constData()), 0);
    ReplaceFileWith(dir.filePath("link.txt").toStdString(), "through the link", FileWording("link.txt"));
    EXPECT_EQ(readAll(dir.filePath("plain.txt")), "through the link");
    EXPECT_TRUE(QFileInfo(dir.filePath("link.txt")).isSymLink());

    // Not a regular file: written in place.
    EXPECT_EQ(messageOf([] { ReplaceFileWith("/dev/null", "gone", FileWording("/dev/null")); }), "(no error)");

    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::System | QDir::Hidden),
              QStringList({"link.txt", "plain.txt"}));
}

TEST(FileReplacement, AFailureLeavesTheEarlierFileByteForByte) {
    struct Case {
        const char* what;
        std::string name;
        size_t size;       // bytes written
        rlim_t limit;      // 0: none
        const char* head;  // "create" or "write"
        const char* reason;
    };
    const Case cases[] = {
        {"full disk, all in the buffer until the commit", "old.txt", 10000, 4096, "write", "File too large"},
        {"full disk, a write larger than the buffer", "old.txt", 300000, 4096, "write", "File too large"},
        {"full disk, nothing fits", "old.txt", 10, 1, "write", "File too large"},
        {"a folder that does not exist", "gone/new.txt", 10, 0, "create", "No such file or directory"},
        {"a folder in its place", "sub", 10, 0, "create", "Is a directory"},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        {
            QFile f(dir.filePath("old.txt"));
            f.open(QIODevice::WriteOnly);
            f.write(kOld);
        }
        QDir(dir.path()).mkdir("sub");
        const std::string path = dir.filePath(QString::fromStdString(c.name)).toStdString();
        const WriteWording wording{"Cannot create \"" + c.name + "\": ", "Cannot write \"" + c.name + "\": "};
        std::string message;
        {
            std::optional<FileSizeLimit> limit;
            if (c.limit) limit.emplace(c.limit);
            message = messageOf([&] { ReplaceFileWith(path, std::string(c.size, 'n'), wording); });
        }
        EXPECT_EQ(message, (std::string(c.head) == "create" ? wording.create : wording.write) + c.reason) << c.what;
        EXPECT_EQ(readAll(dir.filePath("old.txt")), kOld) << c.what;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                  QStringList({"old.txt", "sub"}))
            << c.what;
    }
    // A folder that cannot be written (root may write anywhere).
    if (geteuid() != 0) {
        QTemporaryDir dir;
        const std::string path = dir.filePath("new.txt").toStdString();
        chmod(dir.path().toLocal8Bit().constData(), 0555);
        EXPECT_EQ(messageOf([&] { ReplaceFileWith(path, "x", FileWording("new.txt")); }),
                  "Cannot create file \"new.txt\". Permission denied");
        chmod(dir.path().toLocal8Bit().constData(), 0755);
        EXPECT_FALSE(QFile::exists(QString::fromStdString(path)));
    }
}

TEST(FileReplacement, EveryFileTheWindowWritesSurvivesAFullDisk) {
    struct Case {
        const char* what;
        const char* name;
        std::function<void(FormWindow&)> save;  // answers the dialog with the name
        const char* message;                    // %1: the file's path
    };
    auto trigger = [](FormWindow& w, const char* action) { w.form->findChild<QAction*>(action)->trigger(); };
    const Case cases[] = {
        {"Save File As", "old.pxc", [](FormWindow& w) { w.form->N3Click(); },
         "Cannot save project file \"%1\": File too large."},
        {"Analysis Report", "old.pdf", [&](FormWindow& w) { trigger(w, "AnalysisReport1"); },
         "Cannot write file \"%1\". File too large."},
        {"P-M picture", "old.png", [](FormWindow& w) { w.click(16); }, "Cannot write file \"%1\". File too large."},
        {"curve text", "old.txt",
         [](FormWindow& w) {
             w.click(5);
             w.form->resultWindow()->Button2Click();
         },
         "Cannot write file \"%1\". File too large."},
        {"Export Check", "old.csv", [](FormWindow& w) { w.click(20); }, "Cannot write file \"%1\". File too large."},
    };
    for (const Case& c : cases) {
        FormWindow w;
        const QString path = w.file(c.name, kOld);
        w.platform.openAnswers.push_back(
            w.file("forces.csv", "Story,Col,Case,Loc,P,V2,V3,T,M2,M3\r\n1,C1,A,0,-1000,0,0,0,10,20\r\n"
                                 "1,C1,B,0,-2000,0,0,0,30,40\r\n1,C1,C,0,-3000,0,0,0,50,60\r\n"));
        w.click(4);
        w.click(19);  // the check, for its export
        ASSERT_TRUE(w.platform.errors.isEmpty()) << w.errors().toStdString();
        w.platform.saveAnswers.push_back(path);
        {
            FileSizeLimit limit(100);
            c.save(w);
        }
        EXPECT_EQ(w.errors(), QString(c.message).arg(path)) << c.what;
        EXPECT_EQ(readAll(path), kOld) << c.what;
        EXPECT_EQ(QDir(w.dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"forces.csv", c.name}))
            << c.what;
    }
}

TEST(FileReplacement, BatchAndStudyExitWithTheReasonAndKeepTheOldFile) {
    struct Case {
        const char* what;
        const char* program;
        QStringList args;  // %1 in an argument: the old file's name
        const char* name;
        int status;
        const char* err;
    };
    const Case cases[] = {
        {"project", "pillarix-batch", {"Edit1=1234", "saveproject=%1"}, "old.pxc", 1,
         "Cannot save project file \"old.pxc\": File too large.\n"},
        {"report", "pillarix-batch", {"report=%1"}, "old.pdf", 1, "Cannot write file \"old.pdf\". File too large.\n"},
        {"picture", "pillarix-batch", {"pm", "save=Image2:%1"}, "old.png", 1,
         "Cannot write file \"old.png\". File too large.\n"},
        {"study", "pillarix-study", {"columns.csv", "--threads", "1", "--out", "%1"}, "old.csv", 2,
         "pillarix-study: Cannot write file \"old.csv\". File too large.\n"},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        {
            QFile f(dir.filePath(c.name));
            f.open(QIODevice::WriteOnly);
            f.write(kOld);
            QFile t(dir.filePath("columns.csv"));
            t.open(QIODevice::WriteOnly);
            t.write("Name,Edit12,Edit13\n");
            for (int i = 0; i < 40; ++i) t.write(QString("C%1,4,4\n").arg(i).toUtf8());
        }
        QStringList args;
        for (const QString& a : c.args) args << QString(a).replace("%1", c.name);
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.setProgram("/bin/bash");
        // 1 KiB of file: smaller than any of these files.
        p.setArguments(QStringList{"-c", "trap '' XFSZ; ulimit -f 1; exec \"$0\" \"$@\"",
                                   QStringLiteral(PILLARIX_BINARY_DIR "/") + c.program} +
                       args);
        p.start();
        ASSERT_TRUE(p.waitForFinished(120000)) << c.what;
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << c.what;
        EXPECT_EQ(p.exitCode(), c.status) << c.what;
        EXPECT_EQ(p.readAllStandardError().toStdString(), c.err) << c.what;
        EXPECT_EQ(readAll(dir.filePath(c.name)), kOld) << c.what;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"columns.csv", c.name}))
            << c.what;
    }
}

TEST(FileReplacement, NamesTheFolderCanHoldLinksToNothingAndWriteOrder) {
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString() + "/";
    ASSERT_EQ(symlink("missing.txt", (folder + "dangling.txt").c_str()), 0);
    struct Case {
        const char* what;
        std::string name;
        const char* message;  // "(no error)" or the reason after the wording's head
    };
    const Case cases[] = {
        {"the longest name a folder holds", std::string(251, 'x') + ".pxc", "(no error)"},
        {"82 CJK characters", [] {
             std::string s;
             for (int i = 0; i < 82; ++i) s += "\xE6\x9F\xB1";
             return s + ".p";
         }(), "(no error)"},
        {"one byte more", std::string(252, 'x') + ".pxc", "File name too long"},
        {"a link to nothing", "dangling.txt", "It is a symbolic link to a file that does not exist"},
    };
    for (const Case& c : cases) {
        const std::string path = folder + c.name;
        const WriteWording wording = FileWording("f");
        const std::string message = messageOf([&] { ReplaceFileWith(path, "saved", wording); });
        EXPECT_EQ(message, std::string(c.message) == "(no error)" ? c.message : wording.create + c.message) << c.what;
        if (message == "(no error)") {
            EXPECT_EQ(readAll(QString::fromStdString(path)), "saved") << c.what;
            QFile::remove(QString::fromStdString(path));
        }
    }
    EXPECT_TRUE(QFileInfo(dir.filePath("dangling.txt")).isSymLink());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::System | QDir::Hidden), QStringList({"dangling.txt"}));

    // A piece larger than the buffer follows what is buffered before it.
    const std::string path = folder + "order.csv", row(70000, 'r');
    FileReplacement file(path, FileWording(path));
    file.write("header\r\n");
    file.write(row);
    file.write("\r\n");
    file.commit();
    EXPECT_EQ(readAll(dir.filePath("order.csv")).toStdString(), "header\r\n" + row + "\r\n");
}

namespace {

// A library preloaded into pillarix-study: PX_SHIM_FSYNC makes fsync fail
// with EIO; PX_SHIM_NO_TMPFILE makes the folder refuse unnamed files, and
// then the named temporary file, once created, is announced by creating the
// file PX_SHIM_MARK and held for 20 s before the open returns.
const char* const kShimSource = R"C(
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>
#include <time.h>
static int shimOpen(const char* name, const char* path, int flags, mode_t mode) {
    int (*real)(const char*, int, ...) = (int (*)(const char*, int, ...))dlsym(RTLD_NEXT, name);
    if (getenv("PX_SHIM_NO_TMPFILE") && (flags & O_TMPFILE) == O_TMPFILE) { errno = EOPNOTSUPP; return -1; }
    int fd = real(path, flags, mode);
    const char* mark = getenv("PX_SHIM_MARK");
    if (fd >= 0 && mark && (flags & O_EXCL) && strstr(path, ".pillarix-")) {
        close(real(mark, O_WRONLY | O_CREAT, 0644));
        struct timespec t = {20, 0};
        nanosleep(&t, 0);
    }
    return fd;
}
int open(const char* p, int f, ...) { va_list a; va_start(a, f); mode_t m = va_arg(a, mode_t); va_end(a); return shimOpen("open", p, f, m); }
int open64(const char* p, int f, ...) { va_list a; va_start(a, f); mode_t m = va_arg(a, mode_t); va_end(a); return shimOpen("open64", p, f, m); }
int fsync(int fd) {
    if (getenv("PX_SHIM_FSYNC")) { errno = EIO; return -1; }
    int (*real)(int) = (int (*)(int))dlsym(RTLD_NEXT, "fsync");
    return real(fd);
}
)C";

// The shim's path, built once into `dir`; empty when it cannot be built.
QString buildShim(const QTemporaryDir& dir) {
    QFile src(dir.filePath("shim.c"));
    if (!src.open(QIODevice::WriteOnly)) return {};
    src.write(kShimSource);
    src.close();
    const QString lib = dir.filePath("shim.so");
    QProcess cc;
    cc.start("cc", {"-shared", "-fPIC", "-O1", "-o", lib, src.fileName(), "-ldl"});
    if (!cc.waitForFinished(60000) || cc.exitCode() != 0) return {};
    return lib;
}

}  // namespace

// Through a preloaded library: a failing fsync fails the save, and a study
// stopped while its named temporary file is being created leaves nothing.
TEST(FileReplacement, FailedSyncAndAStopWhileTheTemporaryFileIsCreated) {
    QTemporaryDir dir;
    const QString shim = buildShim(dir);
    ASSERT_FALSE(shim.isEmpty()) << "cannot build the preload library with cc";
    {
        QFile t(dir.filePath("columns.csv"));
        ASSERT_TRUE(t.open(QIODevice::WriteOnly));
        t.write("Name,Edit12,Edit13\nC1,4,4\n");
        QFile o(dir.filePath("old.csv"));
        ASSERT_TRUE(o.open(QIODevice::WriteOnly));
        o.write(kOld);
    }
    auto start = [&](QProcess& p, std::initializer_list<std::pair<const char*, QString>> vars) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LD_PRELOAD", shim);
        // A sanitizer's runtime would insist on coming first.
        env.insert("ASAN_OPTIONS", env.value("ASAN_OPTIONS") + ":verify_asan_link_order=0");
        for (const auto& [k, v] : vars) env.insert(k, v);
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(dir.path());
        p.start(QStringLiteral(PILLARIX_BINARY_DIR "/pillarix-study"), {"columns.csv", "--out", "old.csv"});
        ASSERT_TRUE(p.waitForStarted());
    };
    const QStringList kept({"columns.csv", "old.csv", "shim.c", "shim.so"});
    for (const bool named : {false, true}) {
        QProcess p;
        start(p, {{"PX_SHIM_FSYNC", "1"}, {named ? "PX_SHIM_NO_TMPFILE" : "PX_SHIM_UNUSED", "1"}});
        ASSERT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitCode(), 2) << named;
        EXPECT_EQ(p.readAllStandardError().toStdString(),
                  "pillarix-study: Cannot write file \"old.csv\". Input/output error.\n")
            << named;
        EXPECT_EQ(readAll(dir.filePath("old.csv")), kOld) << named;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), kept) << named;
    }
    for (const int sig : {SIGTERM, SIGINT, SIGHUP}) {
        QProcess p;
        const QString mark = dir.filePath("mark");
        start(p, {{"PX_SHIM_NO_TMPFILE", "1"}, {"PX_SHIM_MARK", mark}});
        for (int i = 0; i < 1000 && !QFile::exists(mark); ++i) QThread::msleep(10);
        ASSERT_TRUE(QFile::exists(mark)) << "the temporary file was never created";
        QFile::remove(mark);
        ::kill(static_cast<pid_t>(p.processId()), sig);
        ASSERT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitStatus(), QProcess::CrashExit) << sig;
        EXPECT_EQ(readAll(dir.filePath("old.csv")), kOld) << sig;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), kept) << sig;
    }
}
