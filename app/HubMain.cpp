#include "app/HubMain.h"

#include <QApplication>

int RunHub(int argc, char **argv)
{
    QApplication app(argc, argv);
    return 0;
}
