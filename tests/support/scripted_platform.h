#pragma once
// Platform services for tests: answers dialogs from queues and records
// messages and opened addresses. Never blocks.
#include <QColor>
#include <QString>
#include <QStringList>
#include <deque>
#include <optional>

#include "common/ui/platform.h"

namespace px {

class ScriptedPlatform : public PlatformServices {
public:
    std::deque<QString> openAnswers;   // "" = cancel
    std::deque<QString> saveAnswers;   // "" = cancel
    std::deque<std::optional<QColor>> colorAnswers;
    QStringList errors;
    QStringList urls;
    bool openUrlAnswer = true;  // false: as a desktop without a browser
    QStringList saveProposals;  // proposed names seen by saveFile
    QStringList saveFilters;
    QStringList openFilters;  // filters seen by openFileOfType
    std::deque<SaveChoice> saveChangesAnswers;  // none queued = Discard
    QStringList saveChangesAsked;               // names asked about

    QString openFile(QWidget*, const QString&) override;
    QString saveFile(QWidget*, const QString&, const QString& filter, const QString&,
                     const QString& proposedName) override;
    QString openFileOfType(QWidget* parent, const QString& title, const QString& filter) override;
    std::optional<QColor> chooseColor(QWidget*, const QColor&) override;
    void showError(QWidget*, const QString& message) override;
    bool openUrl(const QString& url) override;
    SaveChoice askSaveChanges(QWidget*, const QString& name) override;
};

}  // namespace px
