#pragma once
// The program's own pages. The tutorial ships beside the program, so the
// links work on a machine without internet.
#include <QString>

namespace px {

// The tutorial page as a file:// address: next to the executable when it
// is there, else in the source tree the program was built from.
QString TutorialUrl();
// The product page opened by the logo and the about box.
QString ProductUrl();

}  // namespace px
