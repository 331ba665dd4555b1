#include "platform/qt/QtSaveFileDialog.h"

#include <QtCore/QFileInfo>
#include <QtWidgets/QApplication>
#include <QtWidgets/QFileDialog>
#include <QtWidgets/QMessageBox>

namespace tapelark {
namespace {

// "desc\0pattern\0..." -> Qt's "desc (pattern)" entries.
QStringList QtFilters(const std::string& filter) {
    QStringList parts;
    std::size_t start = 0;
    while (start < filter.size()) {
        const std::size_t end = filter.find('\0', start);
        const std::size_t stop = end == std::string::npos ? filter.size() : end;
        parts << QString::fromStdString(filter.substr(start, stop - start));
        start = stop + 1;
    }
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString patterns = QString(parts[i + 1]).replace(';', ' ');
        // Qt reads the patterns from the parentheses; keep a description that already shows them.
        filters << (parts[i].contains('(' + patterns + ')') ? parts[i] : parts[i] + " (" + patterns + ")");
    }
    return filters;
}

std::string UpToNul(const std::string& text) { return text.substr(0, text.find('\0')); }

QString Trimmed(const std::string& text) {
    QString s = QString::fromStdString(UpToNul(text));
    while (s.endsWith(' ')) s.chop(1);
    while (s.startsWith(' ')) s.remove(0, 1);
    return s;
}

}  // namespace


int QtSaveFileDialog::Run(SaveFileRecord& record) {
    QWidget* owner = record.owner ? QWidget::find(static_cast<WId>(record.owner)) : nullptr;
    QFileDialog dialog(owner, QString::fromStdString(record.title));
    dialog.setObjectName(QStringLiteral("saveFileDialog"));
    // Qt's own dialog: the same on every desktop and without a portal.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, (record.flags & kOfnOverwritePrompt) == 0);
    dialog.setDefaultSuffix(QString());
    dialog.setWindowModality(owner ? Qt::WindowModal : Qt::ApplicationModal);
    const QStringList filters = QtFilters(record.filter);
    if (!filters.isEmpty()) dialog.setNameFilters(filters);
    if (!record.initialDir.empty()) dialog.setDirectory(QString::fromStdString(record.initialDir));
    const QString proposed = Trimmed(record.file);
    if (!proposed.isEmpty()) dialog.selectFile(proposed);

    for (;;) {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return 0;
        const QString chosen = dialog.selectedFiles().constFirst();
        const std::string path = chosen.toStdString();
        if (path.size() + 1 > record.maxFile) return 0;  // does not fit the caller's buffer
        if ((record.flags & kOfnCreatePrompt) && !QFileInfo::exists(chosen)) {
            QMessageBox ask(QMessageBox::Question, dialog.windowTitle(),
                            chosen + QStringLiteral("\nThis file does not exist.\nDo you want to create it?"),
                            QMessageBox::Yes | QMessageBox::No, &dialog);
            ask.setObjectName(QStringLiteral("createPrompt"));
            ask.setTextFormat(Qt::PlainText);
            const int answer = ask.exec();
            if (answer != QMessageBox::Yes) {
                dialog.selectFile(QFileInfo(chosen).fileName());
                continue;  // back to the dialog, as the platform's does
            }
        }
        if (record.file.size() < path.size() + 1) record.file.resize(path.size() + 1, ' ');
        record.file.replace(0, path.size() + 1, path.c_str(), path.size() + 1);
        return 1;
    }
}

}  // namespace tapelark
