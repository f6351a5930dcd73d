#include "app/HubMain.h"

int main(int argc, char **argv)
{
    return RunHub(argc, argv);
}
