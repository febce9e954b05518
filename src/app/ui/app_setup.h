#pragma once
// What every front end that builds the window sets up once, after the
// QApplication exists: the application's name, the window font and the
// number format.

namespace px {

// Names the application "Pillarix" without a display name, so that window
// systems show each title exactly as its caption (a display name would be
// appended to every title). Numbers are read and written with a decimal
// point under any locale, as the C library's conversions expect.
void SetUpApplication();

}  // namespace px
