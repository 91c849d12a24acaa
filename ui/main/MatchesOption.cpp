#include "ui/main/MatchesOption.h"

#include "MainWindowIds.h"
#include "capture/TypingStateMachine.h"
#include "platform/IOptions.h"
#include "ui/main/MainMenu.h"

void MatchesOption::Load()
{
    typing_.ShowMatches(options_.Number(kValueName, 1) != 0);
}

void MatchesOption::Toggle(HWND window)
{
    const bool shown = !typing_.MatchesShown();
    typing_.ShowMatches(shown);
    // Not kept (a registry that refuses it): the choice holds until exit.
    options_.SetNumber(kValueName, shown ? 1 : 0);
    ShowInMenu(window);
}

void MatchesOption::ShowInMenu(HWND window) const
{
    MainMenu::ShowChecked(window, IDM_COMMAND_SHOW_MATCHES, typing_.MatchesShown());
}
