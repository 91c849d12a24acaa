// Prints how long the command editor takes to open with 1 000 groups in its
// group list (target under 100 ms) and the script editor with 500 steps
// (target under 200 ms), each beside the same editor with almost nothing in
// it and the icon picker, measured in the same run as baselines.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "UnmanagedWindows.h"
#include "bench/DialogOpenTime.h"
#include "catalogue/CommandKind.h"
#include "catalogue/QuorvallisCommand.h"
#include "ui/commandeditor/DlgEditCommand.h"
#include "ui/iconpicker/DlgSelectIcon.h"
#include "ui/scripteditor/DlgEditScript.h"

namespace {

// 100 top-level groups, each with 3 subgroups holding 2 more: 1 000 groups,
// 3 levels deep.
std::vector<GroupPtr> ManyGroups()
{
    std::vector<GroupPtr> groups;
    int id = 10;
    for (int top = 0; top < 100; ++top) {
        GroupPtr group(new CommandGroup(id++, 3, L"Group " + std::to_wstring(top)));
        for (int child = 0; child < 3; ++child) {
            GroupPtr sub(new CommandGroup(id++, 4, L"Subgroup " + std::to_wstring(child)));
            for (int leaf = 0; leaf < 2; ++leaf)
                sub->subgroups.emplace_back(new CommandGroup(id++, 5, L"Leaf " + std::to_wstring(leaf)));
            group->subgroups.push_back(sub);
        }
        groups.push_back(group);
    }
    return groups;
}

std::vector<GroupPtr> TwoGroups()
{
    return {GroupPtr(new CommandGroup(0, 3, L"General")), GroupPtr(new CommandGroup(1, 4, L"Scripts"))};
}

QuorvallisCommand Script(int steps)
{
    QuorvallisCommand script(40, L"Long", L"", 4, 1, L"long");
    script.kind = CommandKind::Script;
    for (int i = 0; i < steps; ++i) {
        StepPtr step(new QuorvallisScriptStep(++script.lastStepId));
        step->type = static_cast<StepType>(1 + i % 6);
        step->text = L"Step number " + std::to_wstring(i) + L" with a text of some length";
        script.steps.push_back(step);
    }
    return script;
}

// The opening times of one dialog, in milliseconds.
class Figures {
public:
    void Add(double ms) { times_.push_back(ms); }
    // The median stands for the run: on a shared machine a few opens are
    // held up by others' work.
    double Median()
    {
        std::sort(times_.begin(), times_.end());
        return times_[times_.size() / 2];
    }
    double Best() { return *std::min_element(times_.begin(), times_.end()); }
    double Worst() { return *std::max_element(times_.begin(), times_.end()); }

private:
    std::vector<double> times_;
};

void Report(const char* what, Figures& figures, const char* target)
{
    std::printf("%-40s %7.1f ms median, %7.1f best, %7.1f worst%s\n", what, figures.Median(), figures.Best(),
                figures.Worst(), target);
}

} // namespace

int main()
{
    int exitCode = 0;
    if (RunUnmanagedUnderWine(&exitCode))
        return exitCode;
    const int runs = 15;
    const std::vector<GroupPtr> many = ManyGroups();
    const std::vector<GroupPtr> two = TwoGroups();
    const QuorvallisCommand longScript = Script(500);
    const QuorvallisCommand shortScript = Script(2);

    // The dialogs take turns, so that each sees the same load of the machine.
    Figures picker, commandTwo, commandMany, scriptShort, scriptLong;
    for (int i = 0; i < runs; ++i) {
        DlgSelectIcon icons;
        picker.Add(DialogOpenTime::Measure(icons));
        DlgEditCommand fewGroups(1);
        fewGroups.SetGroups(two);
        commandTwo.Add(DialogOpenTime::Measure(fewGroups));
        DlgEditCommand manyGroups(500);
        manyGroups.SetGroups(many);
        commandMany.Add(DialogOpenTime::Measure(manyGroups));
        DlgEditScript fewSteps(1, shortScript);
        fewSteps.SetGroups(two);
        scriptShort.Add(DialogOpenTime::Measure(fewSteps));
        DlgEditScript manySteps(1, longScript);
        manySteps.SetGroups(two);
        scriptLong.Add(DialogOpenTime::Measure(manySteps));
    }

    std::printf("Editors opening to their first idle (timer tick of %d ms included), %d runs each:\n",
                USER_TIMER_MINIMUM, runs);
    Report("icon picker, 79 items (baseline)", picker, "");
    Report("command editor, 2 groups (baseline)", commandTwo, "");
    Report("command editor, 1000 groups", commandMany, "   (target < 100 ms)");
    Report("script editor, 2 steps (baseline)", scriptShort, "");
    Report("script editor, 500 steps", scriptLong, "   (target < 200 ms)");
    return 0;
}
