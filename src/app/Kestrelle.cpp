// Program entry.
#include "app/ProgramEntry.h"
#include "runtime/QtChineseTexts.h"
#include "store/engine/EngineSetup.h"

#include <QApplication>

int main(int argc, char** argv)
{
    // The engine and the cryptography library take the secret heap for their
    // allocations before anything has them allocate.
    store::PrepareEngine();
    QApplication app(argc, argv);
    const QtChineseTexts qtTexts;
    return RunProgram(QCoreApplication::applicationFilePath());
}
