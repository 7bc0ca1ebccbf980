// The arguments of a Linux program come as bytes, UTF-8 in the locales it meets.
#include "platform/console/Console.h"

int main(int argc, char **argv)
{
    return ConsoleMain(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
}
