#include "input/fields.h"

#include "input/error.h"
#include "input/field_defaults.h"
#include "input/field_names.h"
#include "input/numbers.h"

namespace px {

namespace {

template <class Convert>
auto readField(const FieldSource& f, const std::string& name, Convert convert) {
    const std::string text = f.text(name);
    try {
        return convert(text);
    } catch (const ConversionError& e) {
        throw ConversionError(name, FieldLabel(name, f.itemIndex("ComboBox1") + 1), e.bare());
    }
}

}  // namespace

double FieldSource::real(const std::string& name) const {
    return readField(*this, name, [](const std::string& t) { return StrToFloat(t); });
}

int FieldSource::integer(const std::string& name) const {
    return readField(*this, name, [](const std::string& t) { return StrToInt(t); });
}

const std::map<std::string, std::string>& DefaultFieldTexts() {
    static const std::map<std::string, std::string> m = {
        {"Edit1", "2200"},    {"Edit2", "2200"},    {"Edit3", "40"},      {"Edit4", "2"},
        {"Edit5", "2"},       {"Edit6", "12"},      {"Edit7", "25"},      {"Edit8", "12"},
        {"Edit9", "25"},      {"Edit10", "1"},      {"Edit11", "25"},     {"Edit12", "12"},
        {"Edit13", "12"},     {"Edit14", "27.5"},   {"Edit15", "0.002"},  {"Edit16", "0.0035"},
        {"Edit17", "27.5"},   {"Edit18", "27.5"},   {"Edit19", "0.002"},  {"Edit20", "0.0035"},
        {"Edit21", "27.5"},   {"Edit22", "11.9"},   {"Edit23", "0.002"},  {"Edit24", "0.0035"},
        {"Edit25", "11.9"},   {"Edit26", "206000"}, {"Edit27", "330"},    {"Edit28", "215000"},
        {"Edit29", "260"},    {"Edit30", "0"},      {"Edit31", ""},       {"Edit32", "-0.0035"},
        {"Edit33", "10"},     {"Edit34", "-0.0035"}, {"Edit35", "36"},    {"Edit36", ""},
        {"Edit37", ""},       {"Edit38", ""},       {"Edit39", ""},       {"Edit40", ""},
        {"Edit41", "40"},     {"Edit42", "1600"},   {"Edit43", "600"},    {"Edit44", "60"},
        {"Edit45", "20"},     {"Edit46", "1600"},   {"Edit47", "600"},    {"Edit48", "60"},
        {"Edit49", "20"},     {"Edit50", "12"},     {"Edit51", "6"},      {"Edit52", "5"},
        {"Edit53", "100"},    {"Edit54", "5"},      {"Edit55", "10"},     {"Edit56", "9"},
        {"Edit57", "1.0"},    {"Edit58", "1.0"},    {"Edit59", "1.0"},    {"Edit60", "1.2"},
        {"Edit61", "5"},      {"Edit62", "100"},    {"Edit63", "1.2"},    {"Edit64", "500"},
        {"Edit65", "20"},  // "Axial Levels" of the interaction surface
        // "Axial Force", "Neutral Axis Angle", "Curvature Steps" of the M-Phi page
        {"Edit66", "0"},      {"Edit67", "0"},      {"Edit68", "100"},
        {"Edit69", ""},   // "Mesh Size" of a custom section: empty for its default
        {"Edit70", "1"},  // "Cover Layers" of the Section page
        {"Edit71", "1.0"},  // alpha_cc of EN 1992-1-1
        // Import page: field numbers of "Load Case", "Mx Other End", "My
        // Other End"; empty when the table has no such field
        {"Edit78", ""},       {"Edit79", ""},       {"Edit80", ""},
        // The "Member" group of the P-M page: "Member Length" (0: not given),
        // kx, ky, ACI beta_dns, EN phi_ef, "Initial Bow" (share of the length)
        {"Edit72", "0"},      {"Edit73", "1"},      {"Edit74", "1"},      {"Edit75", "0"},
        {"Edit76", "0"},      {"Edit77", "0.001"},
    };
    return m;
}

std::string CustomSectionKey(const FieldSource& f) {
    const auto s = f.customSection();
    return s ? std::to_string(s->Hash) + ':' + std::to_string(s->Content.size()) + '\n' : std::string("-\n");
}

MapFields DefaultFields() {
    MapFields f;
    f.texts = DefaultFieldTexts();
    for (int i = 1; i <= kComboBoxCount; ++i)
        if (!ComboBoxItems("ComboBox" + std::to_string(i)).empty()) f.items["ComboBox" + std::to_string(i)] = 0;
    return f;
}

}  // namespace px
