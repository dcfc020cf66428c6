#include "platform/win/filedialogs.h"

#include "platform/win/prompt.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QRegularExpression>

namespace platform::filedialogs {

namespace {

enum class Mode { Open, OpenMany, Save, Program };

// The characters Qt's dialog accepts in a name filter's patterns; a pattern
// with any other would make it read the whole filter as patterns.
bool usablePattern(const QString& pattern)
{
    static const QRegularExpression usable(QStringLiteral("^[A-Za-z0-9_.,*?#\\-\\[\\]@{}/!<>$%&=^~:]+$"));
    return usable.match(pattern).hasMatch();
}

bool isProgram(const QFileInfo& info)
{
    return info.isFile() && info.isExecutable();
}

// The non-native dialog, refusing what the request rules out while it is
// open, as the old dialog did.
class PickerDialog : public QFileDialog {
public:
    PickerDialog(QWidget* owner, const QString& title, bool pathMustExist, bool programOnly)
        : QFileDialog(owner, title), pathMustExist_(pathMustExist), programOnly_(programOnly)
    {
        setOption(QFileDialog::DontUseNativeDialog, true);
        setOption(QFileDialog::HideNameFilterDetails, true);
    }

protected:
    void accept() override
    {
        const QStringList files = selectedFiles();
        for (const QString& file : files) {
            const QFileInfo info(file);
            if (pathMustExist_ && !QFileInfo(info.absolutePath()).isDir()) {
                QMessageBox::warning(this, windowTitle(), tr("%1\nThe folder does not exist.").arg(info.absolutePath()));
                return;
            }
            if (programOnly_ && !info.isDir() && !isProgram(info)) {
                QMessageBox::warning(this, windowTitle(), tr("%1\nThis is not a program.").arg(info.fileName()));
                return;
            }
        }
        QFileDialog::accept(); // a folder opens in the dialog
    }

private:
    bool pathMustExist_;
    bool programOnly_;
};

QStringList runDialog(QWidget* owner, const FileRequest& request, Mode mode)
{
    PickerDialog dialog(owner, request.title, (request.flags & PathMustExist) != 0, mode == Mode::Program);
    switch (mode) {
    case Mode::Open: dialog.setFileMode(QFileDialog::AnyFile); break;
    case Mode::OpenMany: dialog.setFileMode(QFileDialog::ExistingFiles); break;
    case Mode::Program: dialog.setFileMode(QFileDialog::ExistingFile); break;
    case Mode::Save:
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, (request.flags & OverwritePrompt) == 0);
        break;
    }
    const QStringList filters = nameFilters(request.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(filters.value(request.filterIndex - 1, filters.constFirst()));
    }
    if (!request.initialFolder.isEmpty())
        dialog.setDirectory(request.initialFolder);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

QStringList ask(QWidget* owner, const FileRequest& request, Mode mode)
{
    prompt::Prompt p;
    p.kind = mode == Mode::Save ? QStringLiteral("save") : QStringLiteral("open");
    p.title = request.title;
    p.text = request.initialFolder.isEmpty() || request.fileName.isEmpty()
                 ? request.initialFolder + request.fileName
                 : QDir(request.initialFolder).filePath(request.fileName);
    p.filter = request.filter;
    const prompt::Answer a = prompt::ask(p, [&] {
        const QStringList chosen = runDialog(owner, request, mode);
        return prompt::Answer{!chosen.isEmpty(), 0, chosen.value(0), chosen};
    });
    if (!a.accepted)
        return {};
    QStringList paths = a.paths;
    if (paths.isEmpty() && !a.text.isEmpty())
        paths << a.text;
    paths.removeAll(QString());
    return paths;
}

} // namespace

QStringList nameFilters(const QString& oldFilter)
{
    QStringList out;
    const QStringList parts = oldFilter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (QString pattern : parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            pattern = pattern.trimmed();
            if (pattern == QLatin1String("*.*"))
                pattern = QStringLiteral("*");
            if (usablePattern(pattern) && !patterns.contains(pattern))
                patterns << pattern;
        }
        if (patterns.isEmpty())
            continue;
        QString description = parts.at(i).trimmed();
        if (description.isEmpty())
            description = parts.at(i + 1).trimmed();
        out << description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return out;
}

QString openFile(QWidget* owner, const FileRequest& request)
{
    const Mode mode = (request.flags & AllowMultiSelect) ? Mode::OpenMany : Mode::Open;
    return ask(owner, request, mode).value(0);
}

QStringList openFiles(QWidget* owner, const FileRequest& request)
{
    return ask(owner, request, Mode::OpenMany);
}

QString saveFile(QWidget* owner, const FileRequest& request)
{
    return ask(owner, request, Mode::Save).value(0);
}

QString pickExecutable(QWidget* owner, const QString& title, const QString& initialFolder)
{
    FileRequest request;
    request.title = title;
    request.initialFolder = initialFolder.isEmpty() ? QStringLiteral("/usr/bin") : initialFolder;
    const QString chosen = ask(owner, request, Mode::Program).value(0);
    return !chosen.isEmpty() && isProgram(QFileInfo(chosen)) ? chosen : QString();
}

} // namespace platform::filedialogs
