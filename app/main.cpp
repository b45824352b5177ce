#include "Application.h"
#include "LargePages.h"

int main(int argc, char** argv)
{
    LargePages::RestartWithThem(argv);
    return RunDyskar(argc, argv);
}
