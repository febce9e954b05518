#include "app/ui/links.h"

#include <QCoreApplication>
#include <QFile>
#include <QUrl>

namespace px {

QString TutorialUrl() {
    const QString local = QCoreApplication::applicationDirPath() + "/tutorial.html";
    if (QFile::exists(local)) return QUrl::fromLocalFile(local).toString();
    return QUrl::fromLocalFile(QStringLiteral(PILLARIX_SOURCE_DIR "/resources/tutorial.html")).toString();
}

QString ProductUrl() { return TutorialUrl(); }

}  // namespace px
