#ifndef DCX_TESTS_MONKEY_MONKEYTARGETS_H
#define DCX_TESTS_MONKEY_MONKEYTARGETS_H

// What the monkey reaches through the main window's menus. A window that
// joins the program gets one line here; entries missing from a build or
// disabled are skipped and listed in the report. Once a window is open, its
// controls, menus and close box are found by themselves.
inline constexpr const char* kMonkeyMenuEntries[] = {
    "mnuEditProcess", "mnuEditGraph",   "mnuEditLog",       "mnuEditComm", "mnuViewGraph_0", "mnuViewGraph_1",
    "mnuViewGraph_2", "mnuViewGraph_3", "mnuViewSensorRdg", "mnuHelpHelp", "mnuHelpAbout",
};

// Main-window menu entries the monkey switches off before it starts, so no
// click or key reaches them: leaving the program ends the run (the
// main-window tests cover that path).
inline constexpr const char* kMonkeyNeverTrigger[] = {"mnuFileExit"};

#endif
