#include "support/scripted_platform.h"

namespace px {

QString ScriptedPlatform::openFile(QWidget*, const QString&) {
    if (openAnswers.empty()) return {};
    QString a = openAnswers.front();
    openAnswers.pop_front();
    return a;
}

QString ScriptedPlatform::saveFile(QWidget*, const QString&, const QString& filter, const QString&,
                                   const QString& proposedName) {
    saveProposals << proposedName;
    saveFilters << filter;
    if (saveAnswers.empty()) return {};
    QString a = saveAnswers.front();
    saveAnswers.pop_front();
    return a;
}

QString ScriptedPlatform::openFileOfType(QWidget* parent, const QString& title, const QString& filter) {
    openFilters << filter;
    return openFile(parent, title);
}

std::optional<QColor> ScriptedPlatform::chooseColor(QWidget*, const QColor&) {
    if (colorAnswers.empty()) return std::nullopt;
    auto a = colorAnswers.front();
    colorAnswers.pop_front();
    return a;
}

void ScriptedPlatform::showError(QWidget*, const QString& message) { errors << message; }

bool ScriptedPlatform::openUrl(const QString& url) {
    urls << url;
    return openUrlAnswer;
}

SaveChoice ScriptedPlatform::askSaveChanges(QWidget*, const QString& name) {
    saveChangesAsked << name;
    if (saveChangesAnswers.empty()) return SaveChoice::Discard;
    const SaveChoice a = saveChangesAnswers.front();
    saveChangesAnswers.pop_front();
    return a;
}

}  // namespace px
