// SPDX-License-Identifier: MIT
#include "platform/qt/QtSaveFileDialog.h"

#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtCore/QRegularExpression>
#include <QtCore/QSettings>
#include <QtWidgets/QApplication>
#include <QtWidgets/QFileDialog>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QMessageBox>

#include "common/AsciiText.h"

namespace tapelark {
namespace {

// Qt's dialog reads a name with double quotes as a list of quoted names;
// here whatever is typed is one name, quotes and all.
class OneNameFileDialog final : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    // The name the user confirmed; empty when Qt's own reading was used.
    QString typedPath;

    QString Chosen() const {
        if (!typedPath.isEmpty()) return typedPath;
        const QStringList files = selectedFiles();
        return files.isEmpty() ? QString() : files.constFirst();
    }

    void accept() override {
        typedPath.clear();
        auto* edit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        const QString typed = edit ? edit->text() : QString();
        if (!typed.contains('"')) return QFileDialog::accept();
        QString path = QDir::cleanPath(directory().absoluteFilePath(typed));
        if (!defaultSuffix().isEmpty() && QFileInfo(path).suffix().isEmpty() && !QFileInfo(path).isDir())
            path += '.' + defaultSuffix();
        const QFileInfo info(path);
        if (info.isDir()) {
            setDirectory(path);
            edit->clear();
            return;
        }
        if (info.exists() && !testOption(DontConfirmOverwrite)) {
            QMessageBox ask(QMessageBox::Warning, windowTitle(),
                            tr("%1 already exists.\nDo you want to replace it?").arg(info.fileName()),
                            QMessageBox::Yes | QMessageBox::No, this);
            ask.setTextFormat(Qt::PlainText);
            if (ask.exec() != QMessageBox::Yes) return;
        }
        typedPath = path;
        QDialog::accept();
    }
};

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

// The extension of the first file type's first pattern ("*.wav": "wav"), for
// a name typed without one; none for a pattern such as "*.*".
QString DefaultSuffix(const QStringList& filters) {
    static const QRegularExpression extension(QStringLiteral("\\(\\*\\.(\\w+)[ )]"));
    const auto match = filters.isEmpty() ? QRegularExpressionMatch() : extension.match(filters.constFirst());
    return match.hasMatch() ? match.captured(1) : QString();
}

// The record's text up to its NUL, without the blanks around it.
QString Trimmed(const std::string& text) {
    const std::string_view trimmed = TrimBlanks(UpToNul(text));
    return QString::fromUtf8(trimmed.data(), static_cast<qsizetype>(trimmed.size()));
}

}  // namespace


int QtSaveFileDialog::Run(SaveFileRecord& record) {
    // Qt's dialog keeps its history in the user's QtProject.conf; the program
    // writes no settings, so its settings go where nothing can be written.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("/dev/null"));
    QWidget* owner = record.owner ? QWidget::find(static_cast<WId>(record.owner)) : nullptr;
    OneNameFileDialog dialog(owner, QString::fromStdString(record.title));
    dialog.setObjectName(QStringLiteral("saveFileDialog"));
    // Qt's own dialog: the same on every desktop and without a portal.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, (record.flags & kOfnOverwritePrompt) == 0);
    dialog.setWindowModality(owner ? Qt::WindowModal : Qt::ApplicationModal);
    const QStringList filters = QtFilters(record.filter);
    // A name typed without an extension gets the file type's, as the save
    // dialog on Windows gives it: "take" is saved as take.wav.
    dialog.setDefaultSuffix(DefaultSuffix(filters));
    if (!filters.isEmpty()) dialog.setNameFilters(filters);
    if (!record.initialDir.empty()) dialog.setDirectory(QString::fromStdString(record.initialDir));
    const QString proposed = Trimmed(record.file);
    if (!proposed.isEmpty()) dialog.selectFile(proposed);

    for (;;) {
        if (dialog.exec() != QDialog::Accepted) return 0;
        const QString chosen = dialog.Chosen();
        if (chosen.isEmpty()) return 0;
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
                // Back to the dialog, as the platform's does: in the folder the
                // name was typed into, with the bare name.
                const QFileInfo typed(chosen);
                if (typed.dir().exists()) dialog.setDirectory(typed.dir());
                dialog.selectFile(typed.fileName());
                continue;
            }
        }
        if (record.file.size() < path.size() + 1) record.file.resize(path.size() + 1, ' ');
        record.file.replace(0, path.size() + 1, path.c_str(), path.size() + 1);
        return 1;
    }
}

}  // namespace tapelark
