// The program's entry: no command line of its own, one window.
#include "ui/Application.h"

int main(int argc, char **argv)
{
    return RunApplication(argc, argv);
}
