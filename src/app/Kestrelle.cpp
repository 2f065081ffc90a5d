// Program entry.
#include "app/ProgramEntry.h"
#include "runtime/QtChineseTexts.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QtChineseTexts qtTexts;
    return RunProgram(QCoreApplication::applicationFilePath());
}
