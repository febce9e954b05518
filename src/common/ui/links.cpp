#include "common/ui/links.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "common/ui/platform.h"

namespace px {

QStringList TutorialPlaces() {
    const QString bin = QCoreApplication::applicationDirPath();
    return {bin + "/tutorial.html", QDir::cleanPath(bin + "/../share/pillarix/tutorial.html"),
            QStringLiteral(PILLARIX_SHARE_DIR "/tutorial.html"),
            QStringLiteral(PILLARIX_SOURCE_DIR "/resources/tutorial.html")};
}

QString FirstExisting(const QStringList& places) {
    for (const QString& place : places)
        if (QFileInfo(place).isFile()) return place;
    return places.isEmpty() ? QString() : places.last();
}

QString TutorialUrl() { return QUrl::fromLocalFile(FirstExisting(TutorialPlaces())).toString(); }

QString ProductUrl() { return TutorialUrl(); }

void OpenPage(PlatformServices& services, QWidget* parent, const QString& url) {
    if (services.openUrl(url)) return;
    const QUrl u(url);
    const QString where = u.isLocalFile() ? u.toLocalFile() : url;
    services.showError(parent, "No browser could open the page. Open it by hand:\n" + where);
}

}  // namespace px
