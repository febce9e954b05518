#pragma once
// The section file: a plain-text list of polygons, holes and bars.
//
//   units mm | cm | m | in      optional, the first item only
//   cover x1 y1 x2 y2 ...       a polygon of cover concrete
//   core1 / core2 / steel ...   polygons of the other groups
//   hole x1 y1 ...              a void in the polygon on the item above
//   bar x y d                   a reinforcing bar of diameter d
//
// "#" starts a comment; numbers are separated by spaces or commas. Lines
// end in LF, CR LF or CR; a UTF-8 byte order mark is skipped.
#include <string>
#include <string_view>

#include "geometry/shape.h"

namespace px::geom {

// Reads and checks a section file's text (lengths scaled to mm). Refuses
// every fault with a message naming its line, the file's text shown escaped
// and cut as ShownValue does (AppError); UTF-16, UTF-32 and binary files
// are refused as such before any line is read.
Shape ReadSectionFile(std::string_view text);

// The section file of a shape, in mm, every number written so that it reads
// back to the same double. `title` becomes a comment line when not empty.
std::string WriteSectionFile(const Shape& s, const std::string& title = "");

}  // namespace px::geom
