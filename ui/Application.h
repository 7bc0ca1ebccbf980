#pragma once
// Starts the application: the one main window and the event loop until it closes.
int RunApplication(int argc, char **argv);
