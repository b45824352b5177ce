#include "Application.h"

int main(int argc, char** argv)
{
    return RunDyskar(argc, argv);
}
