#pragma once

// Answers the import's preview dialog while it runs modally: each time one
// comes up, the next scripted step is handed the dialog and works its
// controls (a step that presses neither "导入" nor "取消" leaves the dialog
// open for the test to close). Without a script the dialog is cancelled.

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

#include <deque>
#include <functional>

class PreviewDriver {
public:
    using Step = std::function<void(QDialog&)>;

    PreviewDriver()
    {
        timer_.setInterval(0);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
        timer_.start();
    }

    void Then(Step step) { steps_.push_back(std::move(step)); }
    // Presses "导入" without changing anything.
    void Accept() { Then([](QDialog& dialog) { Press(dialog, "Import"); }); }
    int Shown() const { return shown_; }

    static void Press(QDialog& dialog, const char* button)
    {
        dialog.findChild<QPushButton*>(QString::fromLatin1(button))->click();
    }
    // Opens the box of a column's "导入到" cell, as a click into it does;
    // nothing for a list whose rows have no choice.
    static QComboBox* Target(QDialog& dialog, int row)
    {
        auto* view = dialog.findChild<QTableView*>(QStringLiteral("Sources"));
        const QModelIndex index = view->model()->index(row, 2);
        // Moving to the cell closes the box open in another and opens its own.
        if (view->currentIndex() != index)
            view->setCurrentIndex(index);
        else
            view->edit(index);
        auto* box = qobject_cast<QComboBox*>(view->indexWidget(index));
        return box && box->objectName() == QStringLiteral("Target%1").arg(row) ? box : nullptr;
    }
    static QString Text(QDialog& dialog, const char* label)
    {
        return dialog.findChild<QLabel*>(QString::fromLatin1(label))->text();
    }
    static QString Encoding(QDialog& dialog)
    {
        return dialog.findChild<QComboBox*>(QStringLiteral("Encoding"))->currentText();
    }
    static QString Cell(QDialog& dialog, const char* table, int row, int column)
    {
        const QAbstractItemModel* model = dialog.findChild<QTableView*>(QString::fromLatin1(table))->model();
        return model->index(row, column).data().toString();
    }

private:
    void Poll()
    {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || dialog->objectName() != QLatin1String("ImportPreview") || dialog->property("driven").toBool())
            return;
        dialog->setProperty("driven", true);
        ++shown_;
        if (steps_.empty()) {
            Press(*dialog, "Cancel");
            return;
        }
        const Step step = std::move(steps_.front());
        steps_.pop_front();
        step(*dialog);
    }

    QTimer timer_;
    std::deque<Step> steps_;
    int shown_ = 0;
};
