// Qt's own texts read in Chinese, whatever the locale: the message boxes'
// buttons and the edit boxes' context menu.
#include "app/QtChineseTexts.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <memory>

namespace {

// A caption as the user reads it: without the shortcut after the tab and
// without the accelerator, "(&Y)" in Chinese and "&" in English.
QString Readable(QString caption)
{
    caption = caption.section(QLatin1Char('\t'), 0, 0);
    caption.remove(QRegularExpression(QStringLiteral("\\(&.\\)")));
    return caption.remove(QLatin1Char('&'));
}

void ExpectChinese(const QStringList& captions)
{
    static const QRegularExpression latin(QStringLiteral("[A-Za-z]"));
    for (const QString& caption : captions)
        EXPECT_FALSE(Readable(caption).contains(latin)) << caption.toStdString();
}

TEST(QtChineseTextsTest, MessageBoxButtonsAndTheEditMenuReadInChinese)
{
    const QtChineseTexts texts;
    ASSERT_TRUE(texts.Loaded());

    QMessageBox box;
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Ok);
    const QStringList buttons{box.button(QMessageBox::Yes)->text(), box.button(QMessageBox::No)->text(),
                              box.button(QMessageBox::Ok)->text()};
    EXPECT_EQ(Readable(buttons[0]), QStringLiteral("是"));
    EXPECT_EQ(Readable(buttons[1]), QStringLiteral("否"));
    ExpectChinese(buttons);

    QLineEdit edit(QStringLiteral("text"));
    const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QStringList items;
    for (const QAction* action : menu->actions())
        if (!action->isSeparator())
            items << action->text();
    EXPECT_EQ(items.size(), 7);  // undo, redo, cut, copy, paste, delete, select all
    ExpectChinese(items);
}

} // namespace
