#include "common/ui/platform.h"

#include <QColorDialog>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMainWindow>
#include <QMessageBox>
#include <QStatusBar>
#include <QUrl>

namespace px {

QString QtPlatformServices::openFile(QWidget* parent, const QString& title) {
    return QFileDialog::getOpenFileName(parent, title);
}

QString QtPlatformServices::saveFile(QWidget* parent, const QString& title, const QString& filter,
                                     const QString& defaultSuffix, const QString& proposedName) {
    QFileDialog dlg(parent, title, QString(), filter);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    dlg.setDefaultSuffix(defaultSuffix);
    if (!proposedName.isEmpty()) dlg.selectFile(proposedName);
    if (dlg.exec() != QDialog::Accepted) return {};
    const QStringList files = dlg.selectedFiles();
    return files.isEmpty() ? QString() : files.first();
}

std::optional<QColor> QtPlatformServices::chooseColor(QWidget* parent, const QColor& initial) {
    QColor c = QColorDialog::getColor(initial, parent);
    if (!c.isValid()) return std::nullopt;
    return c;
}

void QtPlatformServices::showError(QWidget* parent, const QString& message) {
    QMessageBox box(QMessageBox::Critical, "Pillarix", message, QMessageBox::Ok, parent);
    box.exec();
}

bool QtPlatformServices::openUrl(const QString& url) {
    return QDesktopServices::openUrl(QUrl::fromUserInput(url));
}

QString QtPlatformServices::openFileOfType(QWidget* parent, const QString& title, const QString& filter) {
    return QFileDialog::getOpenFileName(parent, title, QString(), filter);
}

SaveChoice QtPlatformServices::askSaveChanges(QWidget* parent, const QString& name) {
    QMessageBox box(QMessageBox::Question, "Pillarix", QString("Save changes to %1?").arg(name),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Save);
    switch (box.exec()) {
        case QMessageBox::Save: return SaveChoice::Save;
        case QMessageBox::Discard: return SaveChoice::Discard;
        default: return SaveChoice::Cancel;
    }
}

void reportError(PlatformServices& services, QWidget* parent, const std::string& message) {
    services.showError(parent, QString::fromStdString(displayMessage(message)));
}

void reportCancelled(QWidget* parent) {
    if (auto* main = qobject_cast<QMainWindow*>(parent ? parent->window() : nullptr)) {
        main->statusBar()->showMessage("Cancelled", 10000);
    }
}

}  // namespace px
