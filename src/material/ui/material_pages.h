#pragma once
// The "Concrete Material" and "Steel Material" pages: each material's
// colour swatch, law, fields and the picture of its curve.
#include <QObject>
#include <map>
#include <span>

class QWidget;

namespace px {

struct Workspace;
class FormFields;
class PageBuilder;
class PlatformServices;
class Swatch;
struct MaterialGroup;

class MaterialPages : public QObject {
    Q_OBJECT
public:
    MaterialPages(QWidget* concretePage, QWidget* steelPage, PageBuilder& build, Workspace& ws,
                  PlatformServices& services, QWidget* window);

    // Shape1 .. Shape5.
    Swatch* swatch(int k) const { return swatches_.at(k); }
    // The swatches show the workspace's colours.
    void showColors();
    // Asks for the colour of swatch k (1..5).
    void pickColor(int k);

public slots:
    void drawConcrete();  // "Refresh" of the concrete page
    void drawSteel();     // "Refresh" of the steel page

signals:
    void swatchPressed(int k);
    // A colour was chosen.
    void modified();

private:
    // Returns the bottom edge of the curves.
    int buildGroups(QWidget* page, PageBuilder& build, int firstGroup, const char* model,
                    std::span<const MaterialGroup> groups);

    Workspace& ws_;
    FormFields& fields_;
    PlatformServices& services_;
    QWidget* window_;
    std::map<int, Swatch*> swatches_;
};

}  // namespace px
