#include "input/field_defaults.h"

#include <map>

#include "codes/design_code.h"

namespace px {

const std::vector<std::string>& ComboBoxItems(const std::string& name) {
    static const std::vector<std::string> model = {"Simplify model"};
    static const std::vector<std::string> concrete = {"Simplify model", "Descending model"};
    static const std::map<std::string, std::vector<std::string>> items = {
        {"ComboBox1",
         {"Rect Column", "Circular Column", "Rect SRC Column Type1", "Rect SRC Column Type2",
          "Circular Steel Tube Col", "Rect Steel Box Column", "Circular SRC Column",
          "Steel Tube in Rect Col", "Custom Section"}},
        {"ComboBox2", concrete},
        {"ComboBox3", concrete},
        {"ComboBox4", concrete},
        {"ComboBox5", model},
        {"ComboBox6", model},
        {"ComboBox7", {"X-Dir PM Curve", "Y-Dir PM Curve"}},
        {"ComboBox8", {"Bounding rectangle", "Section outline"}},
        {"ComboBox9", codes::DesignCodeNames()},
        {"ComboBox10", {"Ties", "Spirals"}},
        {"ComboBox11", {"None", "Code method", "General method"}},  // "Slenderness"
    };
    static const std::vector<std::string> none;
    auto it = items.find(name);
    return it == items.end() ? none : it->second;
}

}  // namespace px
