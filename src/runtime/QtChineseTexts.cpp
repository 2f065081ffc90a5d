#include "runtime/QtChineseTexts.h"

#include <QCoreApplication>
#include <QLibraryInfo>

QtChineseTexts::QtChineseTexts()
{
    loaded_ = translator_.load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))
        && QCoreApplication::installTranslator(&translator_);
}
