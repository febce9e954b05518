#include "common/ui/links.h"

#include <QCoreApplication>
#include <QFile>
#include <QUrl>

#include "common/ui/platform.h"

namespace px {

QString TutorialUrl() {
    const QString local = QCoreApplication::applicationDirPath() + "/tutorial.html";
    if (QFile::exists(local)) return QUrl::fromLocalFile(local).toString();
    return QUrl::fromLocalFile(QStringLiteral(PILLARIX_SOURCE_DIR "/resources/tutorial.html")).toString();
}

QString ProductUrl() { return TutorialUrl(); }

void OpenPage(PlatformServices& services, QWidget* parent, const QString& url) {
    if (services.openUrl(url)) return;
    const QUrl u(url);
    const QString where = u.isLocalFile() ? u.toLocalFile() : url;
    services.showError(parent, "No browser could open the page. Open it by hand:\n" + where);
}

}  // namespace px
