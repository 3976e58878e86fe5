// A prompter that records every question and answers from a script, for window tests.
#pragma once

#include "toolkit/Prompts.h"

#include <QList>
#include <functional>

class TScriptedPrompter : public Prompts::TPrompter {
public:
    TScriptedPrompter() { previous = Prompts::SetPrompter(this); }
    ~TScriptedPrompter() override { Prompts::SetPrompter(previous); }

    QList<Prompts::TQuestion> Questions;
    QList<QMessageBox::StandardButton> Answers;  // taken in order; Ok when the script runs out
    int SaveDialogs = 0;
    QList<QString> SavePaths;                    // taken in order; an empty one cancels
    Prompts::TSaveDialogSetup LastSetup;
    std::function<void(const Prompts::TQuestion &)> OnQuestion;

    QMessageBox::StandardButton Ask(QWidget *, const Prompts::TQuestion &q) override
    {
        Questions << q;
        if (OnQuestion)
            OnQuestion(q);
        return Answers.isEmpty() ? QMessageBox::Ok : Answers.takeFirst();
    }

    QString AskSavePath(QWidget *, const Prompts::TSaveDialogSetup &setup) override
    {
        ++SaveDialogs;
        LastSetup = setup;
        return SavePaths.isEmpty() ? QString() : SavePaths.takeFirst();
    }

    QStringList Texts() const
    {
        QStringList texts;
        for (const auto &q : Questions)
            texts << q.Text;
        return texts;
    }

private:
    Prompts::TPrompter *previous;
};
