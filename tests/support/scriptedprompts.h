#pragma once

#include "prompts/prompts.h"

#include <QList>
#include <QStringList>

/// Prompts answered from a script: each question takes the next queued answer (Cancel when none
/// is queued), each file dialog the next queued path (cancelled when none). Everything asked is
/// recorded for the test to check.
class ScriptedPrompts : public lumivex::prompts::Prompts
{
public:
    struct Asked
    {
        QString kind;  ///< "question", "choice", "exclamation", "information" or "file"
        QString title;
        QString text;
        lumivex::prompts::FileRequest request;
    };

    QList<Answer> answers;
    QStringList files;
    QList<int> choices;  ///< the button each choice answers with (none left: its escape button)
    QList<int> filters;  ///< the filter entry each file dialog answers with (none: the one asked for)
    QList<Asked> asked;

    Answer question(QWidget *, const QString &title, const QString &text) override
    {
        asked.append({QStringLiteral("question"), title, text, {}});
        return answers.isEmpty() ? Answer::Cancel : answers.takeFirst();
    }
    int choose(QWidget *, const QString &title, const QString &text, const QStringList &, int escape) override
    {
        asked.append({QStringLiteral("choice"), title, text, {}});
        return choices.isEmpty() ? escape : choices.takeFirst();
    }
    void exclamation(QWidget *, const QString &title, const QString &text) override
    {
        asked.append({QStringLiteral("exclamation"), title, text, {}});
    }
    void information(QWidget *, const QString &title, const QString &text) override
    {
        asked.append({QStringLiteral("information"), title, text, {}});
    }
    QString askFile(QWidget *parent, const lumivex::prompts::FileRequest &request) override { return chooseFile(parent, request).path; }
    lumivex::prompts::FileChoice chooseFile(QWidget *, const lumivex::prompts::FileRequest &request) override
    {
        asked.append({QStringLiteral("file"), request.title, {}, request});
        const int filter = filters.isEmpty() ? request.filterIndex : filters.takeFirst();
        return {files.isEmpty() ? QString() : files.takeFirst(), filter};
    }

    /// The texts shown so far by messages of one kind ("exclamation", "question", ...).
    QStringList texts(const QString &kind) const
    {
        QStringList shown;
        for (const Asked &a : asked) {
            if (a.kind == kind)
                shown.append(a.text);
        }
        return shown;
    }
};
