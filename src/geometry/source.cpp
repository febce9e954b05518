#include "geometry/source.h"

#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>

#include "common/read_file.h"
#include "geometry/dxf_reader.h"
#include "geometry/section_file.h"
#include "input/error.h"
#include "loads/text_decode.h"

namespace px::geom {

namespace {
bool EndsWithDxf(const std::string& name) {
    if (name.size() < 4) return false;
    std::string ext = name.substr(name.size() - 4);
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return ext == ".dxf";
}
}  // namespace

Shape ReadSectionSource(std::string_view content, const std::string& name) {
    if (EndsWithDxf(name) || IsBinaryDxf(content)) return ReadDxf(content);
    return ReadSectionFile(content);
}

std::string ReadSectionBytes(const std::string& path) {
    const std::string shown = ShownValue(path, std::string::npos);
    return ReadRegularFile(path, static_cast<unsigned long long>(kMaxFileBytes), [&](const FileReadFault& f) {
        const std::string head = "Cannot open the section file " + shown + ": ";
        switch (f.kind) {
            case FileReadFault::NotAFile: throw AppError(head + "It is not a file");
            case FileReadFault::TooLarge:
            case FileReadFault::Grew:
                throw AppError("The section file " + shown + " is larger than 50 MB (" + std::to_string(kMaxFileBytes) +
                               " bytes)");
            case FileReadFault::Read:
                throw AppError("Cannot read the section file " + shown + ": " + std::strerror(f.err));
            default: throw AppError(head + std::strerror(f.err));
        }
    });
}

std::shared_ptr<const LoadedSection> LoadSection(std::string content, const std::string& name) {
    auto s = std::make_shared<LoadedSection>();
    s->Section = ReadSectionSource(content, name);
    s->Name = name;
    s->Content = std::move(content);
    s->Hash = std::hash<std::string>{}(s->Content) ^ (std::hash<std::string>{}(s->Name) * 31);
    return s;
}

std::shared_ptr<const LoadedSection> LoadSectionFile(const std::string& path) {
    return LoadSection(ReadSectionBytes(path), std::filesystem::path(path).filename().string());
}

}  // namespace px::geom
