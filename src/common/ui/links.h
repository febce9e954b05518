#pragma once
// The program's own pages. The tutorial ships beside the program, so the
// links work on a machine without internet.
#include <QString>
#include <QStringList>

class QWidget;

namespace px {

class PlatformServices;

// Where the tutorial page is looked for, in order: beside the executable
// (the build copies it there), the share/pillarix folder beside the
// executable's bin/ (an installed program, wherever it was moved), the
// install prefix's share/pillarix, and last the source tree it was built
// from, for a developer's build without the copy.
QStringList TutorialPlaces();
// The first of `places` that is a file; the last one when none is.
QString FirstExisting(const QStringList& places);
// The tutorial page as a file:// address: the first of TutorialPlaces().
QString TutorialUrl();
// The product page opened by the logo and the about box.
QString ProductUrl();

// Opens one of the pages in the browser; when no browser opens it, a
// message gives the page's full path so that it can be opened by hand.
void OpenPage(PlatformServices& services, QWidget* parent, const QString& url);

}  // namespace px
