#include "material/ui/material_pages.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <string>

#include "common/ui/image_box.h"
#include "common/ui/long_command.h"
#include "common/ui/platform.h"
#include "input/error.h"
#include "input/numbers.h"
#include "input/section_input.h"
#include "input/ui/form_fields.h"
#include "material/ui/material_plots.h"
#include "workspace/workspace.h"

namespace px {

// One material of the material pages: its group box with the colour swatch,
// the model and the fields, and the picture of its curve. The fields stand
// in the order the curve reads them (concrete fc, e0, fcu, ecu; steel Es, fy).
struct MaterialField {
    const char* caption;
    int edit;
};
struct MaterialGroup {
    const char* title;
    int shape;
    int combo;
    int image;
    std::span<const MaterialField> fields;
};

namespace {
constexpr MaterialField kConcreteFields[3][4] = {
    {{"Yield Strength fc", 14}, {"Yield Stage Stain e0", 15}, {"Ultimate Stage Strength fcu", 17},
     {"Ultimate Stage Strain ecu", 16}},
    {{"Yield Strength fc", 18}, {"Yield Stage Stain e0", 19}, {"Ultimate Stage Strength fcu", 21},
     {"Ultimate Stage Strain ecu", 20}},
    {{"Yield Strength fc", 22}, {"Yield Stage Stain e0", 23}, {"Ultimate Stage Strength fcu", 25},
     {"Ultimate Stage Strain ecu", 24}}};
constexpr MaterialGroup kConcreteGroups[] = {{"Cover Concrete", 1, 2, 8, kConcreteFields[0]},
                                             {"Core Concrete One", 2, 3, 9, kConcreteFields[1]},
                                             {"Core Concrete Two", 3, 4, 10, kConcreteFields[2]}};
constexpr MaterialField kSteelFields[2][2] = {
    {{"Modulus of Elasticity Es", 26}, {"Yield Strength fy", 27}},
    {{"Modulus of Elasticity Es", 28}, {"Yield Strength fy", 29}}};
constexpr MaterialGroup kSteelGroups[] = {{"Rebar Material", 4, 5, 6, kSteelFields[0]},
                                          {"Steel Section Material", 5, 6, 7, kSteelFields[1]}};

std::string editName(int n) { return "Edit" + std::to_string(n); }
std::string comboName(int n) { return "ComboBox" + std::to_string(n); }
}  // namespace

MaterialPages::MaterialPages(QWidget* concretePage, QWidget* steelPage, PageBuilder& build, Workspace& ws,
                             PlatformServices& services, QWidget* window)
    : QObject(window), ws_(ws), fields_(build.fields), services_(services), window_(window) {
    int bottom = buildGroups(concretePage, build, 2, "Conc Model", kConcreteGroups);
    connect(build.button(concretePage, 10, "Refresh", 8, bottom + 13, 90), &QPushButton::clicked, this,
            &MaterialPages::drawConcrete);
    bottom = buildGroups(steelPage, build, 5, "Steel Model", kSteelGroups);
    connect(build.button(steelPage, 11, "Refresh", 8, bottom + 13, 90), &QPushButton::clicked, this,
            &MaterialPages::drawSteel);
}

int MaterialPages::buildGroups(QWidget* page, PageBuilder& build, int firstGroup, const char* model,
                               std::span<const MaterialGroup> groups) {
    int x = 8;
    int g = firstGroup;
    int bottom = 0;
    for (const MaterialGroup& gr : groups) {
        const int height = 60 + 30 * int(gr.fields.size());
        auto* box = new QGroupBox(gr.title, page);
        box->setObjectName(QString("GroupBox%1").arg(g++));
        box->setGeometry(x, 8, 280, height);
        auto* s = new Swatch(QString("Shape%1").arg(gr.shape), box);
        s->move(10, 20);
        swatches_[gr.shape] = s;
        connect(s, &Swatch::pressed, this, [this, k = gr.shape] { emit swatchPressed(k); });
        build.label(box, {}, model, 60, 20, 70);
        build.combo(box, gr.combo, QRect(135, 20, 130, 21));
        int y = 52;
        for (const auto& [text, n] : gr.fields) {
            build.label(box, {}, text, 10, y, 160);
            build.edit(box, n, 180, y, 85);
            y += 30;
        }
        build.image(page, gr.image, 271, 247, x + 4, height + 16);
        bottom = height + 16 + 247;
        x += 296;
    }
    return bottom;
}

void MaterialPages::showColors() {
    for (auto& [k, s] : swatches_) {
        const Rgb c = ws_.Colors.c[k];
        s->setColor(QColor(c.r, c.g, c.b));
    }
}

void MaterialPages::pickColor(int k) {
    const Rgb c = ws_.Colors.c[k];
    const auto chosen = services_.chooseColor(window_, QColor(c.r, c.g, c.b));
    if (!chosen) return;
    ws_.Colors.c[k] = {chosen->red(), chosen->green(), chosen->blue()};
    swatches_.at(k)->setColor(*chosen);
    emit modified();
}

void MaterialPages::drawConcrete() {
    runCommand(services_, window_, [&] {
        if (LongCommand::active()) return;
        // Values the descending law cannot use are refused before any chart
        // changes; a text that does not convert stops at its own chart below.
        for (const MaterialGroup& g : kConcreteGroups) {
            const int model = fields_.itemIndex(comboName(g.combo)) + 1;
            if (model != 2) continue;
            double v[4];
            try {
                for (int k = 0; k < 4; ++k) v[k] = fields_.real(editName(g.fields[k].edit));
            } catch (const AppError&) {
                continue;
            }
            CheckConcreteLaw(g.title, model, v[0], v[1], v[2], v[3]);
        }
        for (const MaterialGroup& g : kConcreteGroups) {
            const int model = fields_.itemIndex(comboName(g.combo)) + 1;
            const double fc = fields_.real(editName(g.fields[0].edit));
            const double e0 = fields_.real(editName(g.fields[1].edit));
            const double fcu = fields_.real(editName(g.fields[2].edit));
            const double ecu = fields_.real(editName(g.fields[3].edit));
            ImageBox* img = window_->findChild<ImageBox*>(QString("Image%1").arg(g.image));
            img->paint([&](QPainter& p, int W, int H) { DrawConcreteCurve(p, W, H, model, fc, fcu, e0, ecu); });
            img->refresh();
        }
    });
}

void MaterialPages::drawSteel() {
    runCommand(services_, window_, [&] {
        if (LongCommand::active()) return;
        // A modulus the law cannot use is refused before either chart changes;
        // a text that does not convert stops at its own chart below.
        for (const MaterialGroup& g : kSteelGroups) {
            double es = 0;
            try {
                es = fields_.real(editName(g.fields[0].edit));
            } catch (const AppError&) {
                continue;
            }
            CheckSteelModulus(g.title, es);
        }
        for (const MaterialGroup& g : kSteelGroups) {
            const int model = fields_.itemIndex(comboName(g.combo)) + 1;
            const double es = fields_.real(editName(g.fields[0].edit));
            const double fy = fields_.real(editName(g.fields[1].edit));
            ImageBox* img = window_->findChild<ImageBox*>(QString("Image%1").arg(g.image));
            img->paint([&](QPainter& p, int W, int H) { DrawSteelCurve(p, W, H, model, fy, es); });
            img->refresh();
        }
    });
}

}  // namespace px
