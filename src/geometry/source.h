#pragma once
// Loading a section from a file: a section file or a DXF drawing.
#include <memory>
#include <string>
#include <string_view>

#include "geometry/shape.h"

namespace px::geom {

// A DXF drawing when the name ends in ".dxf" (any case) or the bytes are a
// binary drawing; a section file otherwise. `name` is only looked at, never
// opened, so a project can load the content it keeps.
Shape ReadSectionSource(std::string_view content, const std::string& name);

// The bytes of the file at `path`; refuses a missing or unreadable file,
// anything that is not a file (a FIFO, a device: "It is not a file") and a
// file over 50 MB before reading it. The path is shown escaped.
std::string ReadSectionBytes(const std::string& path);

// A loaded section: the bytes it was read from, the file's name (for display
// and to tell a drawing from a section file) and the checked shape.
struct LoadedSection {
    std::string Name;
    std::string Content;
    Shape Section;
    // A hash of Name and Content, for telling sections apart cheaply.
    std::size_t Hash = 0;
};

// ReadSectionSource over `content`, kept together with it. Throws AppError.
std::shared_ptr<const LoadedSection> LoadSection(std::string content, const std::string& name);

// ReadSectionBytes, then LoadSection under the path's file name.
std::shared_ptr<const LoadedSection> LoadSectionFile(const std::string& path);

}  // namespace px::geom
