#pragma once
// How the computation layer reads the window's fields: by control name.
#include <map>
#include <memory>
#include <string>

#include "geometry/source.h"

namespace px {

class FieldSource {
public:
    virtual ~FieldSource() = default;
    // Text of an edit field ("Edit1" ... "Edit64").
    virtual std::string text(const std::string& name) const = 0;
    // Item index of a combo box ("ComboBox1" ... "ComboBox10").
    virtual int itemIndex(const std::string& name) const = 0;
    // The section loaded for "Custom Section"; null when none is.
    virtual std::shared_ptr<const geom::LoadedSection> customSection() const { return nullptr; }
    // The text of edit field `name` as a number: every field's text is read
    // here. A text that does not convert throws a ConversionError that names
    // the field and its page (FieldLabel) before the conversion's message.
    double real(const std::string& name) const;
    int integer(const std::string& name) const;
};

// A field source backed by a map, for tests and scripted front ends.
// Missing edits read as "", missing combo boxes as item 0.
class MapFields : public FieldSource {
public:
    std::map<std::string, std::string> texts;
    std::map<std::string, int> items;
    std::shared_ptr<const geom::LoadedSection> custom;
    std::string text(const std::string& name) const override {
        auto it = texts.find(name);
        return it == texts.end() ? std::string() : it->second;
    }
    int itemIndex(const std::string& name) const override {
        auto it = items.find(name);
        return it == items.end() ? 0 : it->second;
    }
    std::shared_ptr<const geom::LoadedSection> customSection() const override { return custom; }
    std::string& operator[](const std::string& name) { return texts[name]; }
};

// Tells the custom section of `f` from another one (and from none), for the
// keys that say what a result was computed from.
std::string CustomSectionKey(const FieldSource& f);

// Default texts of every edit field of the main window, as the window starts.
const std::map<std::string, std::string>& DefaultFieldTexts();
// A MapFields holding the defaults.
MapFields DefaultFields();

}  // namespace px
