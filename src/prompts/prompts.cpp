#include "prompts.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QMessageBox>
#include <QPushButton>
#include <QSortFilterProxyModel>

namespace lumivex::prompts {

namespace {

/// The folders and the files that may be run, of a file dialog's listing.
class ExecutablesOnly : public QSortFilterProxyModel
{
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool filterAcceptsRow(int row, const QModelIndex &parent) const override
    {
        const auto *files = qobject_cast<QFileSystemModel *>(sourceModel());
        if (!files)
            return true;
        const QFileInfo info = files->fileInfo(files->index(row, 0, parent));
        return info.isDir() || info.isExecutable();
    }
};

// Puts values[n - 1] in place of each "%n" in one pass: unlike QString::arg() with several
// values, each number keeps its own value whichever numbers a translation uses, and a value
// holding "%2" stays as it is.
QString fillIn(const QString &pattern, const QStringList &values)
{
    QString text;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const int n = i + 1 < pattern.size() ? pattern.at(i + 1).digitValue() : -1;
        if (pattern.at(i) == u'%' && n >= 1 && n <= values.size()) {
            text += values.at(n - 1);
            ++i;
        } else {
            text += pattern.at(i);
        }
    }
    return text;
}

} // namespace

QString applicationTitle()
{
    return QCoreApplication::translate("Prompts", "Lumivex");
}

QString runtimeErrorText(int number, const QString &source, const QString &description)
{
    const QString numberText = number < 0 ? QString::number(number) : QLatin1Char(' ') + QString::number(number);
    // %1 is the number as the Japanese writes it, with its blank; %4 the bare number, for a
    // language that places it differently.
    //: %1 the error number after a blank, %2 where it happened, %3 the description, %4 the number alone
    return fillIn(QCoreApplication::translate("Prompts", "ｴﾗｰ番号 %1%2 でｴﾗｰが発生しました。\r\n%3"),
                  {numberText, source, description, QString::number(number)});
}

Prompts::Answer QtPrompts::question(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox box(QMessageBox::Question, title, text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Yes);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

Prompts::Answer QtPrompts::yesNo(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

int QtPrompts::choose(QWidget *parent, const QString &title, const QString &text, const QStringList &buttons,
                      int escapeButton)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, parent);
    QList<QAbstractButton *> added;
    // One role for all keeps them in the caller's order on every platform's layout.
    for (const QString &caption : buttons)
        added.append(box.addButton(caption, QMessageBox::ActionRole));
    if (added.isEmpty())
        return escapeButton;
    box.setDefaultButton(static_cast<QPushButton *>(added.constFirst()));
    if (escapeButton >= 0 && escapeButton < added.size())
        box.setEscapeButton(added.at(escapeButton));
    box.exec();
    const qsizetype pressed = added.indexOf(box.clickedButton());
    return pressed >= 0 ? int(pressed) : escapeButton;
}

void QtPrompts::exclamation(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, parent);
    box.exec();
}

void QtPrompts::information(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok, parent);
    box.exec();
}

QString QtPrompts::askFile(QWidget *parent, const FileRequest &request)
{
    return chooseFile(parent, request).path;
}

FileChoice QtPrompts::chooseFile(QWidget *parent, const FileRequest &request)
{
    QFileDialog dialog(parent, request.title, request.folder, request.filter);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!request.overwritePrompt)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (request.executablesOnly) {
        // The dialog's own permission filter hides everything it is asked to keep; a proxy
        // does it. Proxies need Qt's own dialog.
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setProxyModel(new ExecutablesOnly(&dialog));
    }
    const QStringList filters = request.filter.split(QStringLiteral(";;"));
    if (request.filterIndex >= 0 && request.filterIndex < filters.size())
        dialog.selectNameFilter(filters.at(request.filterIndex));
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return {dialog.selectedFiles().constFirst(), int(filters.indexOf(dialog.selectedNameFilter()))};
}

} // namespace lumivex::prompts
