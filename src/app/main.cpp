#include "app/AppDelegate.h"
#include "app/MainWindow.h"

int main(int argc, char* argv[])
{
    return AppDelegate::main(argc, argv);
}
