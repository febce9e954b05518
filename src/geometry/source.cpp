#include "geometry/source.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <system_error>

#include "geometry/dxf_reader.h"
#include "geometry/section_file.h"
#include "input/error.h"

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
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec) throw AppError("Cannot open the section file " + path + ": " + ec.message());
    if (size > static_cast<std::uintmax_t>(kMaxFileBytes))
        throw AppError("The section file " + path + " is larger than 50 MB (" + std::to_string(kMaxFileBytes) +
                       " bytes)");
    std::ifstream in(path, std::ios::binary);
    if (!in) throw AppError("Cannot open the section file " + path);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw AppError("Cannot read the section file " + path);
    if (static_cast<long long>(bytes.size()) > kMaxFileBytes)
        throw AppError("The section file " + path + " is larger than 50 MB (" + std::to_string(kMaxFileBytes) +
                       " bytes)");
    return bytes;
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
