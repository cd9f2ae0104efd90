#include "platform/dialog/prompter.h"
#include "platform/dialog/widgetrules.h"

#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QUrl>

namespace dialog {
namespace {

// Message boxes carry the program's name as their title, as on the desktop
// the tools come from.
QString boxTitle() {
    return QGuiApplication::applicationDisplayName();
}

QString startPath(const FileRequest& r) {
    const QString dir = r.directory.isEmpty() ? QDir::currentPath() : r.directory;
    return r.fileName.isEmpty() ? dir : QDir(dir).filePath(r.fileName);
}

std::optional<QString> runFileDialog(QWidget* owner, const FileRequest& r,
                                     QFileDialog::AcceptMode mode) {
    QFileDialog fd(owner, r.title, startPath(r), r.filter);
    fd.setAcceptMode(mode);
    fd.setFileMode(mode == QFileDialog::AcceptOpen && r.mustExist ? QFileDialog::ExistingFile
                                                                  : QFileDialog::AnyFile);
    if (!r.defaultSuffix.isEmpty())
        fd.setDefaultSuffix(r.defaultSuffix);
    if (fd.exec() != QDialog::Accepted || fd.selectedFiles().isEmpty())
        return std::nullopt;
    return fd.selectedFiles().constFirst();
}

} // namespace

void QtPrompter::message(QWidget* owner, const QString& text) {
    makeMessageBox(owner, QMessageBox::Warning, boxTitle(), text, QMessageBox::Ok)->exec();
}

Prompter::Reply QtPrompter::ask(QWidget* owner, const QString& text, Buttons buttons) {
    QMessageBox::StandardButtons set;
    switch (buttons) {
    case Buttons::YesNo:
        set = QMessageBox::Yes | QMessageBox::No;
        break;
    case Buttons::YesNoCancel:
        set = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        break;
    case Buttons::OkCancel:
        set = QMessageBox::Ok | QMessageBox::Cancel;
        break;
    }
    switch (makeMessageBox(owner, QMessageBox::Question, boxTitle(), text, set)->exec()) {
    case QMessageBox::Yes:
        return Reply::Yes;
    case QMessageBox::No:
        return Reply::No;
    case QMessageBox::Ok:
        return Reply::Ok;
    default:
        return Reply::Cancel;
    }
}

std::optional<QString> QtPrompter::openFileName(QWidget* owner, const FileRequest& request) {
    return runFileDialog(owner, request, QFileDialog::AcceptOpen);
}

std::optional<QString> QtPrompter::saveFileName(QWidget* owner, const FileRequest& request) {
    return runFileDialog(owner, request, QFileDialog::AcceptSave);
}

int QtPrompter::runModal(QDialog& dialog) {
    return dialog.exec();
}

bool QtPrompter::openUrl(const QString& url) {
    return QDesktopServices::openUrl(QUrl(url));
}

} // namespace dialog
