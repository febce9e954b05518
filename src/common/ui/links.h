#pragma once
// The program's own pages. The tutorial ships beside the program, so the
// links work on a machine without internet.
#include <QString>

class QWidget;

namespace px {

class PlatformServices;

// The tutorial page as a file:// address: next to the executable when it
// is there, else in the source tree the program was built from.
QString TutorialUrl();
// The product page opened by the logo and the about box.
QString ProductUrl();

// Opens one of the pages in the browser; when no browser opens it, a
// message gives the page's full path so that it can be opened by hand.
void OpenPage(PlatformServices& services, QWidget* parent, const QString& url);

}  // namespace px
