#include "common/ui/platform.h"

#include <QColorDialog>
#include <QDesktopServices>
#include <QFileDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QMainWindow>
#include <QMessageBox>
#include <QStatusBar>
#include <QUrl>

namespace px {

namespace {

// Room for a window frame and title bar around a dialog.
constexpr QSize kFrameAllowance(8, 34);

// The dialog no larger than the screen it opens on, frame included: at
// 200 % a 768-pixel screen holds 384 pixels of height.
void FitToScreen(QDialog& dlg, QWidget* parent) {
    QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QSize room = screen->availableGeometry().size() - kFrameAllowance;
    dlg.resize(dlg.sizeHint().boundedTo(room).expandedTo(dlg.minimumSizeHint()));
}

QString OpenWith(QWidget* parent, const QString& title, const QString& filter) {
    QFileDialog dlg(parent, title, QString(), filter);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setFileMode(QFileDialog::ExistingFile);
    FitToScreen(dlg, parent);
    if (dlg.exec() != QDialog::Accepted) return {};
    const QStringList files = dlg.selectedFiles();
    return files.isEmpty() ? QString() : files.first();
}

}  // namespace

QString QtPlatformServices::openFile(QWidget* parent, const QString& title) {
    return OpenWith(parent, title, QString());
}

QString QtPlatformServices::saveFile(QWidget* parent, const QString& title, const QString& filter,
                                     const QString& defaultSuffix, const QString& proposedName) {
    QFileDialog dlg(parent, title, QString(), filter);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    dlg.setDefaultSuffix(defaultSuffix);
    if (!proposedName.isEmpty()) dlg.selectFile(proposedName);
    FitToScreen(dlg, parent);
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
    return OpenWith(parent, title, filter);
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
