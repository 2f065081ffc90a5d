// Program entry.
#include "app/ProgramEntry.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    return RunProgram(QCoreApplication::applicationFilePath());
}
