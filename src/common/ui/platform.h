#pragma once
// Dialogs, the message box and web addresses, behind one small interface so
// that tests can answer them without blocking.
#include <QColor>
#include <QString>
#include <optional>

class QWidget;

namespace px {

// Answer to "Save changes to NAME?".
enum class SaveChoice { Save, Discard, Cancel };

class PlatformServices {
public:
    virtual ~PlatformServices() = default;
    // Open-file dialog; empty when cancelled.
    virtual QString openFile(QWidget* parent, const QString& title) = 0;
    // Save-file dialog proposing `proposedName`; empty when cancelled.
    virtual QString saveFile(QWidget* parent, const QString& title, const QString& filter,
                             const QString& defaultSuffix, const QString& proposedName) = 0;
    // Colour dialog preset to `initial`; nothing when cancelled.
    virtual std::optional<QColor> chooseColor(QWidget* parent, const QColor& initial) = 0;
    // Error message box titled "Pillarix" with the error icon.
    virtual void showError(QWidget* parent, const QString& message) = 0;
    // Opens a web address in the default browser; false when that failed.
    virtual bool openUrl(const QString& url) = 0;
    // Open-file dialog listing files that match `filter`; empty when cancelled.
    virtual QString openFileOfType(QWidget* parent, const QString& title, const QString& /*filter*/) {
        return openFile(parent, title);
    }
    // "Save changes to NAME?" with Save, Discard and Cancel; front ends that
    // cannot ask discard.
    virtual SaveChoice askSaveChanges(QWidget* /*parent*/, const QString& /*name*/) { return SaveChoice::Discard; }
};

// The real dialogs.
class QtPlatformServices : public PlatformServices {
public:
    QString openFile(QWidget* parent, const QString& title) override;
    QString saveFile(QWidget* parent, const QString& title, const QString& filter,
                     const QString& defaultSuffix, const QString& proposedName) override;
    std::optional<QColor> chooseColor(QWidget* parent, const QColor& initial) override;
    void showError(QWidget* parent, const QString& message) override;
    bool openUrl(const QString& url) override;
    QString openFileOfType(QWidget* parent, const QString& title, const QString& filter) override;
    SaveChoice askSaveChanges(QWidget* parent, const QString& name) override;
};

// Runs a command; an AppError or any other exception ends it and is shown
// through services.showError with the displayed form of its message, except
// Cancelled, which the status bar reports. Returns false when the command
// failed or was cancelled.
template <class F>
bool runCommand(PlatformServices& services, QWidget* parent, F&& f);

}  // namespace px

#include "common/ui/platform_impl.h"
