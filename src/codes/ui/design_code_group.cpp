#include "codes/ui/design_code_group.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <string>

#include "app/ui/tform1.h"
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

QGroupBox* BuildDesignCodeGroup(QWidget* page, FormFields& fields, int x, int y) {
    auto* box = new QGroupBox("Design Code", page);
    box->setObjectName("GroupBoxDesignCode");
    box->setGeometry(x, y, 490, 100);
    Label(box, "Design Code", 10, 20, 80);
    QComboBox* code = Combo(box, fields, "ComboBox9", 90, 20, 190);
    Label(box, "Transverse Reinforcement", 290, 20, 140);
    Combo(box, fields, "ComboBox10", 430, 20, 52);
    Label(box, "alpha_cc", 10, 46, 80);
    Edit(box, fields, "Edit71", 90, 46, 60);
    Label(box, "Member Length (mm)", 290, 46, 130);
    Edit(box, fields, "Edit72", 430, 46, 52);
    QLabel* note = Label(box, DesignCodeNote(0), 10, 72, 470);
    note->setObjectName("LabelDesignCodeNote");
    auto update = [&fields, note](int index) {
        note->setText(DesignCodeNote(index));
        for (const char* name : kLawCombos) {
            auto it = fields.combos.find(name);
            if (it == fields.combos.end()) continue;
            it->second->setEnabled(index == 0);
            it->second->setToolTip(index == 0 ? QString()
                                              : QString("Disabled: the design code's own law applies (") +
                                                    DesignCodeNote(index) + ")");
        }
    };
    QObject::connect(code, &QComboBox::currentIndexChanged, box, update);
    return box;
}

}  // namespace px
