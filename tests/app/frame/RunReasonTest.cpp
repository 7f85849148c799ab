// What a run without a window names as its end: boxes (with their answers) and notes in turn.
#include "app/frame/RunReason.h"
#include "tests/common/Doubles.h"

#include <gtest/gtest.h>

#include <optional>

using namespace platform::MsgStyle;
using namespace platform::MsgResult;

TEST(RunReason, TheBoxThatStoppedTheRunOrTheNoteBeforeIt)
{
    struct Step {
        QString text; // a note when style is -1, a status text when -2; -3: the port dialog cancelled
        int style;
        int answer;
    };
    struct Row {
        QList<Step> steps;
        QString line; // NOTICE: the settings notice, quoted
        bool unusableSettings = false; // a folder where the settings file belongs
    };
    const Row rows[] = {
        {{{"Go?", YesNo | Question, Yes}}, ""},
        {{{"Status: not printed", -2, 0}}, "Status: not printed"},
        {{{"Status: opened", -2, 0}, {"Go?", YesNo | Question, No}}, "\"Go?\" answered No"},
        {{{"Fix?", YesNoCancel | Question, Cancel}}, "\"Fix?\" answered Cancel"},
        // A notice told after a question that stopped the run does not replace it.
        {{{"Stop?", YesNo | Question, No}, {"Newer", OKOnly | Information, OK}}, "\"Stop?\" answered No"},
        {{{"Notice", OKOnly | Information, OK}, {"Go?", YesNo | Question, Yes}}, "\"Notice\""},
        {{{"port cancelled", -1, 0}}, "port cancelled"},
        {{{"COM1 (x)", -1, 0}, {"No unit", OKOnly | Critical, OK}}, "COM1 (x): \"No unit\""},
        {{{"COM1 (x)", -1, 0}, {"Go?", YesNo | Question, Yes}, {"Late", OKOnly, OK}}, "\"Late\""},
        {{{"", -3, 0}}, "the port dialog was cancelled"},
        // No port was known because the settings were not read: the line says which file.
        {{{"", -3, 0}}, "the port dialog was cancelled; no port was read from the settings: NOTICE", true},
    };
    for (const Row& row : rows) {
        testing_doubles::PlatformDoubles doubles;
        std::optional<platform::QtSettingsStore> folder;
        if (row.unusableSettings) {
            folder.emplace(doubles.dir.path());
            platform::SettingsStore::SetInstance(&*folder);
        }
        RunReason reason;
        for (const Step& step : row.steps) {
            if (step.style < 0) {
                if (step.style == -1)
                    reason.Note(step.text);
                else if (step.style == -3)
                    reason.Note(RunReason::PortDialogCancelled());
                else
                    platform::StatusSink::Instance().SetStatusText(step.text);
                continue;
            }
            doubles.presenter.answers = {step.answer};
            platform::MessagePresenter::Instance().Show(step.text, step.style, "Quarno Q2");
        }
        reason.Freeze();
        doubles.presenter.answers = {Cancel};
        platform::MessagePresenter::Instance().Show("Save?", YesNoCancel | Question, "Quarno Q2");
        QString line = row.line;
        if (folder) {
            EXPECT_TRUE(folder->Notice().contains(doubles.dir.path())) << folder->Notice().toStdString();
            line.replace("NOTICE", RunReason::Quoted(folder->Notice()));
        }
        EXPECT_EQ(reason.Line(), line) << row.steps.size();
        EXPECT_EQ(doubles.presenter.shown.size(), reason.Shown());
    }
}
