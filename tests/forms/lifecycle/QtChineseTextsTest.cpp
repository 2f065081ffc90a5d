// Qt's own texts read in Chinese, whatever the locale: the message boxes'
// buttons and the edit boxes' context menu.
#include "runtime/QtChineseTexts.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <memory>

TEST(QtChineseTextsTest, MessageBoxButtonsAndTheEditMenuReadInChinese)
{
    const QtChineseTexts texts;
    ASSERT_TRUE(texts.Loaded());
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Ok);
    QLineEdit edit;
    const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QStringList captions{box.button(QMessageBox::Yes)->text(), box.button(QMessageBox::No)->text(),
                         box.button(QMessageBox::Ok)->text()};
    for (const QAction* action : menu->actions())
        captions << action->text();
    EXPECT_EQ(captions.mid(0, 2), (QStringList{"是(&Y)", "否(&N)"}));
    // Without accelerator ("(&U)") and shortcut ("\tCtrl+Z"), no Latin letter is left.
    for (QString caption : captions)
        EXPECT_FALSE(caption.remove(QRegularExpression(QStringLiteral("\\(&.\\)|\\t.*"))).contains(
            QRegularExpression(QStringLiteral("[A-Za-z]")))) << caption.toStdString();
}
