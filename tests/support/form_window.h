#pragma once
// The real main window built offscreen with scripted dialogs, a temporary
// folder for the files a test reads or writes, and the few moves every
// window test makes. Tests derive their own Window from it.
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/ui/tform1.h"
#include "support/scripted_platform.h"

namespace px {

struct FormWindow {
    ScriptedPlatform platform;
    std::unique_ptr<TForm1> form = std::make_unique<TForm1>(&platform);
    QTemporaryDir dir;

    void click(int n) {
        QTest::mouseClick(form->findChild<QPushButton*>(QString("Button%1").arg(n)), Qt::LeftButton);
    }
    // The path of `name` in the temporary folder; with bytes, the file is
    // written first.
    QString file(const QString& name, const QByteArray& bytes = {}) {
        const QString path = dir.filePath(name);
        if (!bytes.isNull()) {
            QFile f(path);
            f.open(QIODevice::WriteOnly);
            f.write(bytes);
        }
        return path;
    }
    QString errors() const { return platform.errors.join(" | "); }
};

}  // namespace px
