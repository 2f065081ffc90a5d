#pragma once

#include "forms/Unit1.h"
#include "support/ProgramFixture.h"

#include <QString>
#include <QStringList>
#include <QWidget>

#include <vector>

class QPushButton;

// One record as the tests write it into table data (编号 is given by the database).
struct Contact {
    QString category;
    QString name;
    QString qq;
    QString mobile;
    QString phone;
    QString fax;
    QString email;
    QString homePage;
    QString remarks;
};

// A program run whose main window is on screen with the record list loaded,
// driven through its controls by name.
class MainWindowFixture : public ProgramFixture {
protected:
    // Delivers a database holding these records (编号 1, 2, ... in this order),
    // starts the program, shows the main window and reloads the list.
    void StartWith(const std::vector<Contact>& records);

    template <class Widget>
    Widget* Control(const char* name) const
    {
        auto* control = form1->findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    void Press(const char* buttonName);

    QString Panel(int index) const;
    // The grid's texts of one column, top to bottom, as the grid's model gives them.
    QStringList GridColumn(int column) const;
    int GridRows() const;
    // The record list's current row, counted from 0 (-1: none).
    int CurrentRow() const;
    // A mouse click on a cell of the grid's row (counted from 0).
    void ClickGridRow(int row, int column = 2);

    // The editor's ten texts in column order (编号 first).
    QStringList EditorTexts() const;
    void FillEditor(const Contact& contact);

    QStringList StoredNames() { return ColumnOnDatabase(QStringLiteral("姓名"), QStringLiteral("data")); }
};

// Types the text key by key, as a keyboard (or an input method, for the
// characters no key carries) would.
void TypeInto(QWidget* control, const QString& text);

// A small book: two QQ accounts and a web-site account.
std::vector<Contact> SampleBook();
