#include "codes/ui/design_code_group.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <string>

#include "input/ui/form_fields.h"
#include "input/field_defaults.h"
#include "input/fields.h"

namespace px {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

QComboBox* Combo(QWidget* parent, FormFields& fields, const char* name, int x, int y, int w) {
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    for (const std::string& item : ComboBoxItems(name)) c->addItem(Q(item));
    c->setGeometry(x, y, w, 21);
    fields.combos[name] = c;
    return c;
}

QLineEdit* Edit(QWidget* parent, FormFields& fields, const char* name, int x, int y, int w) {
    auto* e = new QLineEdit(Q(DefaultFieldTexts().at(name)), parent);
    e->setObjectName(name);
    e->setGeometry(x, y, w, 21);
    fields.edits[name] = e;
    return e;
}

QLabel* Label(QWidget* parent, const QString& text, int x, int y, int w) {
    auto* l = new QLabel(text, parent);
    l->setGeometry(x, y, w, 21);
    return l;
}

constexpr const char* kLawCombos[] = {"ComboBox2", "ComboBox3", "ComboBox4", "ComboBox5", "ComboBox6"};

}  // namespace

const char* DesignCodeNote(int codeIndex) {
    switch (codeIndex) {
        case 1: return "ACI 318-19: stress block, eps_cu 0.003, phi from eps_t; strengths read as f'c, fy";
        case 2: return "EN 1992-1-1: parabola-rectangle, gamma_c 1.5, gamma_s 1.15; EN 1994-1-1: plastic";
        case 3: return "AISC 360-16: plastic distribution, phi_c 0.75, phi_b 0.90; steel profile only";
        default: return "None: the material laws as set, no factors";
    }
}

namespace {
const char* ShortNote(int codeIndex) {
    switch (codeIndex) {
        case 1: return "Code laws, phi(eps_t)";
        case 2: return "Code laws, gammas";
        case 3: return "Plastic, phi_c, phi_b";
        default: return "Laws as set";
    }
}
}  // namespace

QGroupBox* BuildDesignCodeGroup(QWidget* page, FormFields& fields, int x, int y) {
    auto* box = new QGroupBox("Design Code", page);
    box->setObjectName("GroupBoxDesignCode");
    box->setGeometry(x, y, 390, 70);
    Label(box, "Design Code", 10, 18, 70);
    QComboBox* code = Combo(box, fields, "ComboBox9", 80, 18, 200);
    Combo(box, fields, "ComboBox10", 285, 18, 95);
    Label(box, "alpha_cc", 10, 44, 55);
    Edit(box, fields, "Edit71", 65, 44, 45);
    Label(box, "Length (mm)", 115, 44, 70);
    Edit(box, fields, "Edit72", 185, 44, 55);
    QLabel* note = Label(box, ShortNote(0), 245, 44, 140);
    note->setObjectName("LabelDesignCodeNote");
    note->setToolTip(DesignCodeNote(0));
    auto update = [&fields, note](int index) {
        note->setText(ShortNote(index));
        note->setToolTip(DesignCodeNote(index));
        for (const char* name : kLawCombos) {
            auto it = fields.combos.find(name);
            if (it == fields.combos.end()) continue;
            QComboBox* law = it->second;
            // The field's own help, kept under the note while a code holds.
            if (!law->property("pxHelp").isValid()) law->setProperty("pxHelp", law->toolTip());
            const QString help = law->property("pxHelp").toString();
            law->setEnabled(index == 0);
            law->setToolTip(index == 0 ? help
                                       : QString("Disabled: the design code's own law applies (") +
                                             DesignCodeNote(index) + ").\n" + help);
        }
    };
    QObject::connect(code, &QComboBox::currentIndexChanged, box, update);
    return box;
}

}  // namespace px
