#include "project/project_file.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <set>
#include <tuple>
#include <type_traits>

#include "input/field_defaults.h"
#include "input/fields.h"
#include "loads/csv_import.h"
#include "project/json.h"

namespace px {

namespace {

constexpr int kColorCount = 5;

bool isOutputField(const std::string& name) {
    return name == "Edit31" || name == "Edit36" || name == "Edit37" || name == "Edit38" || name == "Edit39" ||
           name == "Edit40";
}

std::string comboName(int n) { return "ComboBox" + std::to_string(n); }
std::string shapeName(int k) { return "Shape" + std::to_string(k); }

// A value's path in the file for messages: a text, or a function that
// makes it (so that reading many values builds no text until one is wrong).
template <class Path>
std::string pathText(const Path& p) {
    if constexpr (std::is_invocable_v<Path>) return p();
    else return std::string(p);
}

// Typed reading with messages that name the value by its path in the file.
class Reader {
public:
    explicit Reader(std::string_view bytes) : r_(bytes) {}

    template <class Path>
    void expect(JsonReader::Kind kind, const Path& path, const char* what) {
        const std::size_t at = r_.offset();
        if (r_.peek() != kind) r_.fail(at, pathText(path) + " must be " + what);
    }
    template <class Path>
    std::string string(const Path& path) {
        expect(JsonReader::Kind::String, path, "text in quotes");
        return r_.readString();
    }
    template <class Path>
    double number(const Path& path) {
        expect(JsonReader::Kind::Number, path, "a number");
        return r_.readNumber();
    }
    // A number or null (nothing).
    template <class Path>
    std::optional<double> numberOrNull(const Path& path) {
        if (r_.peek() == JsonReader::Kind::Null) {
            r_.readNull();
            return std::nullopt;
        }
        const std::size_t at = r_.offset();
        if (r_.peek() != JsonReader::Kind::Number) r_.fail(at, pathText(path) + " must be a number or null");
        return r_.readNumber();
    }
    int integer(const std::string& path, int lo, int hi) {
        const std::size_t at = r_.offset();
        const double v = number(path);
        if (!(v >= lo && v <= hi && v == std::floor(v)))
            r_.fail(at, path + " must be a whole number from " + std::to_string(lo) + " to " + std::to_string(hi));
        return static_cast<int>(v);
    }
    void object(const std::string& path) {
        expect(JsonReader::Kind::Object, path, "an object ({...})");
        r_.beginObject();
        keys_.emplace_back();
    }
    // Next key of the object opened last; a key seen twice is refused.
    bool key(const std::string& path, std::string& k) {
        const std::size_t at = r_.offset();
        if (!r_.nextKey(k)) {
            keys_.pop_back();
            return false;
        }
        if (!keys_.back().insert(k).second) r_.fail(at, path + " holds \"" + k + "\" twice");
        return true;
    }
    template <class Path>
    void array(const Path& path) {
        expect(JsonReader::Kind::Array, path, "a list ([...])");
        r_.beginArray();
    }
    bool element() { return r_.nextElement(); }
    std::size_t offset() { return r_.offset(); }
    void skip() { r_.skipValue(); }
    void finish() { r_.finish(); }
    [[noreturn]] void fail(std::size_t at, const std::string& what) { r_.fail(at, what); }

private:
    JsonReader r_;
    std::vector<std::set<std::string>> keys_;
};

void checkFormat(std::string_view bytes) {
    // A first pass over the whole text: the syntax, the format name and the
    // version, before any value is taken as this version's.
    JsonReader r(bytes);
    if (r.peek() != JsonReader::Kind::Object) {
        r.skipValue();
        r.finish();
        r.fail(0, "a project file must hold an object ({...})");
    }
    r.beginObject();
    std::string key, format;
    bool haveFormat = false;
    std::optional<double> version;
    std::size_t versionAt = 0;
    while (r.nextKey(key)) {
        if (key == "format" && r.peek() == JsonReader::Kind::String) {
            format = r.readString();
            haveFormat = true;
        } else if (key == "version" && r.peek() == JsonReader::Kind::Number) {
            versionAt = r.offset();
            version = r.readNumber();
        } else {
            r.skipValue();
        }
    }
    r.finish();
    if (!haveFormat || format != kProjectFormat)
        throw AppError(std::string("not a Pillarix column file (no \"format\": \"") + kProjectFormat + "\")");
    if (!version) throw AppError("the file has no format version");
    if (*version != std::floor(*version) || *version < 1)
        r.fail(versionAt, "the format version must be a whole number from 1");
    if (*version > kProjectVersion) {
        const std::string v = *version < 1e9 ? std::to_string(static_cast<long long>(*version)) : "past 1e9";
        throw AppError("the file was written by a newer Pillarix (format version " + v +
                       "; this program reads version " + std::to_string(kProjectVersion) + ")");
    }
}

void readFields(Reader& in, ProjectData& d) {
    in.object("fields");
    std::string k;
    while (in.key("fields", k)) {
        auto it = d.Fields.find(k);
        if (it == d.Fields.end()) {
            in.skip();
            continue;
        }
        it->second = in.string("fields." + k);
    }
}

void readCombos(Reader& in, ProjectData& d) {
    in.object("combos");
    std::string k;
    while (in.key("combos", k)) {
        auto it = d.Combos.find(k);
        if (it == d.Combos.end()) {
            in.skip();
            continue;
        }
        it->second = in.integer("combos." + k, 0, static_cast<int>(ComboBoxItems(k).size()) - 1);
    }
}

void readColors(Reader& in, ProjectData& d) {
    in.object("colors");
    std::string k;
    while (in.key("colors", k)) {
        int slot = 0;
        for (int i = 1; i <= kColorCount; ++i)
            if (k == shapeName(i)) slot = i;
        if (!slot) {
            in.skip();
            continue;
        }
        const std::string path = "colors." + k;
        const std::size_t at = in.offset();
        const std::string t = in.string(path);
        int v[6];
        bool ok = t.size() == 7 && t[0] == '#';
        for (int i = 0; ok && i < 6; ++i) ok = (v[i] = HexDigitValue(t[static_cast<std::size_t>(i) + 1])) >= 0;
        if (!ok) in.fail(at, path + " must be a colour written #rrggbb");
        d.Colors.c[slot] = {v[0] * 16 + v[1], v[2] * 16 + v[3], v[4] * 16 + v[5]};
    }
}

void readTriple(Reader& in, const std::string& path, double& p, double& mx, double& my, bool whole) {
    in.object(path);
    std::string k;
    while (in.key(path, k)) {
        double* slot = k == "P" ? &p : k == "Mx" ? &mx : k == "My" ? &my : nullptr;
        if (!slot) {
            in.skip();
            continue;
        }
        *slot = whole ? in.integer(path + "." + k, 1, kCsvMaxFields) : in.number(path + "." + k);
    }
}

// The import's field numbers: P, Mx, My, and the optional ones by caption.
void readColumns(Reader& in, double& p, double& mx, double& my, ProjectForces& f) {
    const std::string path = "forces.columns";
    in.object(path);
    std::string k;
    while (in.key(path, k)) {
        double* slot = k == "P" ? &p : k == "Mx" ? &mx : k == "My" ? &my : nullptr;
        int* optional = k == "Load Case" ? &f.ColumnName : k == "Mx Other End" ? &f.ColumnMxOther
                                      : k == "My Other End" ? &f.ColumnMyOther : nullptr;
        if (slot) *slot = in.integer(path + "." + k, 1, kCsvMaxFields);
        else if (optional) *optional = in.integer(path + "." + k, 1, kCsvMaxFields);
        else in.skip();
    }
}

void readForces(Reader& in, ProjectData& d) {
    ProjectForces f;
    in.object("forces");
    std::string k;
    bool haveCount = false, haveItems = false;
    std::size_t countAt = 0;
    double cp = f.ColumnP, cmx = f.ColumnMx, cmy = f.ColumnMy;
    // Names and other-end moments, kept apart from the items until the
    // count is known.
    std::vector<std::string> names;
    std::vector<std::pair<std::optional<double>, std::optional<double>>> others;
    std::size_t namesAt = 0, othersAt = 0;
    bool haveNames = false, haveOthers = false;
    while (in.key("forces", k)) {
        if (k == "count") {
            countAt = in.offset();
            f.Table.Count = in.integer("forces.count", 0, 1 << 30);
            haveCount = true;
        } else if (k == "file") {
            f.File = in.string("forces.file");
        } else if (k == "factors") {
            readTriple(in, "forces.factors", f.FactorP, f.FactorMx, f.FactorMy, false);
        } else if (k == "columns") {
            readColumns(in, cp, cmx, cmy, f);
        } else if (k == "names") {
            namesAt = in.offset();
            in.array("forces.names");
            while (in.element()) names.push_back(in.string([&] { return "forces.names[" + std::to_string(names.size()) + "]"; }));
            haveNames = true;
        } else if (k == "other ends") {
            othersAt = in.offset();
            in.array("forces.other ends");
            while (in.element()) {
                const auto item = [&] { return "forces.other ends[" + std::to_string(others.size()) + "]"; };
                const std::size_t at = in.offset();
                in.array(item);
                std::optional<double> v[2];
                int n = 0;
                while (in.element()) {
                    if (n == 2) in.fail(at, item() + " must hold two values: Mx, My (a number or null)");
                    v[n] = in.numberOrNull(item);
                    ++n;
                }
                if (n != 2) in.fail(at, item() + " must hold two values: Mx, My (a number or null)");
                others.emplace_back(v[0], v[1]);
            }
            haveOthers = true;
        } else if (k == "grid") {
            in.array("forces.grid");
            f.Grid.clear();
            while (in.element()) {
                const auto row = [&] { return "forces.grid[" + std::to_string(f.Grid.size()) + "]"; };
                in.array(row);
                std::vector<std::string> cells;
                while (in.element()) {
                    const std::size_t at = in.offset();
                    if (cells.size() == kCsvMaxFields)
                        in.fail(at, row() + " has more than " + std::to_string(kCsvMaxFields) + " cells");
                    cells.push_back(in.string([&] { return row() + "[" + std::to_string(cells.size()) + "]"; }));
                }
                f.Grid.push_back(std::move(cells));
            }
        } else if (k == "items") {
            in.array("forces.items");
            f.Table.Items.assign(1, LoadCombination{});
            while (in.element()) {
                const auto item = [&] { return "forces.items[" + std::to_string(f.Table.Items.size() - 1) + "]"; };
                const std::size_t at = in.offset();
                in.array(item);
                double v[3];
                int n = 0;
                while (in.element()) {
                    if (n == 3) in.fail(at, item() + " must hold three numbers: P, Mx, My");
                    v[n] = in.number(item);
                    ++n;
                }
                if (n != 3) in.fail(at, item() + " must hold three numbers: P, Mx, My");
                LoadCombination& c = f.Table.Items.emplace_back();
                c.P = v[0];
                c.Mx = v[1];
                c.My = v[2];
            }
            haveItems = true;
        } else {
            in.skip();
        }
    }
    if (!haveCount) throw AppError("forces has no count");
    if (!haveItems) throw AppError("forces has no items");
    const auto items = static_cast<long long>(f.Table.Items.size()) - 1;
    if (items != f.Table.Count)
        in.fail(countAt, "forces.count is " + std::to_string(f.Table.Count) + " but forces.items holds " +
                             std::to_string(items) + " forces");
    if (haveNames && static_cast<long long>(names.size()) != items)
        in.fail(namesAt, "forces.names holds " + std::to_string(names.size()) + " names for " +
                             std::to_string(items) + " forces");
    if (haveOthers && static_cast<long long>(others.size()) != items)
        in.fail(othersAt, "forces.other ends holds " + std::to_string(others.size()) + " pairs for " +
                              std::to_string(items) + " forces");
    for (std::size_t i = 0; haveNames && i < names.size(); ++i) f.Table.Items[i + 1].Name = std::move(names[i]);
    for (std::size_t i = 0; haveOthers && i < others.size(); ++i) {
        f.Table.Items[i + 1].MxOther = others[i].first;
        f.Table.Items[i + 1].MyOther = others[i].second;
    }
    const std::size_t maxRows = std::max<std::size_t>(static_cast<std::size_t>(f.Table.Count) + 1, 2);
    if (f.Grid.size() > maxRows)
        throw AppError("forces.grid has " + std::to_string(f.Grid.size()) + " rows; " +
                       std::to_string(f.Table.Count) + " forces show in at most " + std::to_string(maxRows));
    f.ColumnP = static_cast<int>(cp);
    f.ColumnMx = static_cast<int>(cmx);
    f.ColumnMy = static_cast<int>(cmy);
    d.Forces = std::move(f);
}

void readSection(Reader& in, ProjectData& d) {
    in.object("section");
    std::string k, name, content;
    bool haveContent = false;
    while (in.key("section", k)) {
        if (k == "name") {
            name = in.string("section.name");
        } else if (k == "content") {
            content = in.string("section.content");
            haveContent = true;
        } else {
            in.skip();
        }
    }
    if (!haveContent) throw AppError("section has no content");
    try {
        d.Section = geom::LoadSection(std::move(content), name);
    } catch (const AppError& e) {
        throw AppError("the section kept in the project (" + name + ") does not read: " + e.what());
    }
}

}  // namespace

const std::vector<std::string>& ProjectFieldNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> v;
        for (const auto& [name, text] : DefaultFieldTexts())
            if (!isOutputField(name)) v.push_back(name);
        return v;
    }();
    return names;
}

ProjectData DefaultProject() {
    ProjectData d;
    for (const std::string& name : ProjectFieldNames()) d.Fields[name] = DefaultFieldTexts().at(name);
    for (int n = 1; n <= kComboBoxCount; ++n)
        if (!ComboBoxItems(comboName(n)).empty()) d.Combos[comboName(n)] = 0;
    return d;
}

std::string ColorText(const Rgb& c) {
    static const char hex[] = "0123456789abcdef";
    std::string s = "#";
    for (int v : {c.r, c.g, c.b}) {
        const int b = v < 0 ? 0 : v > 255 ? 255 : v;
        s += hex[b >> 4];
        s += hex[b & 15];
    }
    return s;
}

std::string WriteProject(const ProjectData& d) {
    JsonWriter w;
    w.beginObject();
    w.key("colors");
    w.beginObject();
    for (int k = 1; k <= kColorCount; ++k) {
        w.key(shapeName(k));
        w.value(ColorText(d.Colors.c[k]));
    }
    w.endObject();
    w.key("combos");
    w.beginObject();
    for (const auto& [name, index] : d.Combos) {
        w.key(name);
        w.value(index);
    }
    w.endObject();
    w.key("fields");
    w.beginObject();
    for (const auto& [name, text] : d.Fields) {
        w.key(name);
        w.value(text);
    }
    w.endObject();
    if (d.Forces) {
        const ProjectForces& f = *d.Forces;
        w.key("forces");
        w.beginObject();
        // An object of one value per force: "Mx", "My", "P".
        auto perForce = [&w](const char* key, auto mx, auto my, auto p) {
            w.key(key);
            w.beginObject();
            w.key("Mx");
            w.value(mx);
            w.key("My");
            w.value(my);
            w.key("P");
            w.value(p);
            w.endObject();
        };
        w.key("columns");
        w.beginObject();
        // Keys in order: the optional fields' captions sort before P.
        const std::tuple<const char*, int, bool> columns[] = {
            {"Load Case", f.ColumnName, true},         {"Mx", f.ColumnMx, false},
            {"Mx Other End", f.ColumnMxOther, true},   {"My", f.ColumnMy, false},
            {"My Other End", f.ColumnMyOther, true},   {"P", f.ColumnP, false}};
        for (const auto& [name, column, optional] : columns) {
            if (optional && column == 0) continue;  // the import had no such field
            w.key(name);
            w.value(column);
        }
        w.endObject();
        w.key("count");
        w.value(f.Table.Count);
        perForce("factors", f.FactorMx, f.FactorMy, f.FactorP);
        w.key("file");
        w.value(f.File);
        w.key("grid");
        w.beginArray();
        for (const auto& row : f.Grid) {
            w.beginArray(true);
            for (const std::string& cell : row) w.value(cell);
            w.endArray();
        }
        w.endArray();
        w.key("items");
        w.beginArray();
        for (int i = 1; i <= f.Table.Count && static_cast<std::size_t>(i) < f.Table.Items.size(); ++i) {
            const LoadCombination& c = f.Table.Items[static_cast<std::size_t>(i)];
            w.beginArray(true);
            w.value(c.P);
            w.value(c.Mx);
            w.value(c.My);
            w.endArray();
        }
        w.endArray();
        const auto rows = [&](auto&& has) {
            for (int i = 1; i <= f.Table.Count && static_cast<std::size_t>(i) < f.Table.Items.size(); ++i)
                if (has(f.Table.Items[static_cast<std::size_t>(i)])) return true;
            return false;
        };
        if (rows([](const LoadCombination& c) { return !c.Name.empty(); })) {
            w.key("names");
            w.beginArray();
            for (int i = 1; i <= f.Table.Count && static_cast<std::size_t>(i) < f.Table.Items.size(); ++i)
                w.value(f.Table.Items[static_cast<std::size_t>(i)].Name);
            w.endArray();
        }
        if (rows([](const LoadCombination& c) { return c.MxOther || c.MyOther; })) {
            w.key("other ends");
            w.beginArray();
            for (int i = 1; i <= f.Table.Count && static_cast<std::size_t>(i) < f.Table.Items.size(); ++i) {
                const LoadCombination& c = f.Table.Items[static_cast<std::size_t>(i)];
                w.beginArray(true);
                for (const std::optional<double>& m : {c.MxOther, c.MyOther}) {
                    if (m) w.value(*m);
                    else w.null();
                }
                w.endArray();
            }
            w.endArray();
        }
        w.endObject();
    }
    w.key("format");
    w.value(kProjectFormat);
    if (d.Live) {
        w.key("live");
        w.value(1);
    }
    w.key("program");
    w.value(d.Program);
    if (d.Section) {
        // Bytes that are not UTF-8 are kept as U+FFFD; a section file has them
        // only in comments and a drawing only on layers it skips.
        w.key("section");
        w.beginObject();
        w.key("content");
        w.value(d.Section->Content);
        w.key("name");
        w.value(d.Section->Name);
        w.endObject();
    }
    w.key("version");
    w.value(kProjectVersion);
    w.endObject();
    return w.text();
}

ProjectData ReadProject(std::string_view bytes) {
    if (bytes.size() > kProjectMaxBytes)
        throw AppError("the file is " + std::to_string(bytes.size()) + " bytes; a project file holds at most " +
                       std::to_string(kProjectMaxBytes >> 20) + " MB");
    checkFormat(bytes);

    ProjectData d = DefaultProject();
    Reader in(bytes);
    in.object("the file");
    std::string k;
    while (in.key("the file", k)) {
        if (k == "fields") readFields(in, d);
        else if (k == "combos") readCombos(in, d);
        else if (k == "colors") readColors(in, d);
        else if (k == "forces") readForces(in, d);
        else if (k == "program") d.Program = in.string("program");
        else if (k == "live") d.Live = in.integer("live", 0, 1) == 1;
        else if (k == "section") readSection(in, d);
        else in.skip();
    }
    in.finish();
    return d;
}

}  // namespace px
