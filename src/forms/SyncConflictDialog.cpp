#include "forms/SyncConflictDialog.h"

#include "transfer/RecordColumns.h"
#include "ui/FormBuilding.h"

#include <QComboBox>
#include <QDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

QString ColumnTitle(int column)
{
    if (column < 0 || column >= transfer::col::Count)
        return {};
    const std::string_view name = transfer::ColumnNames[static_cast<std::size_t>(column)];
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

std::optional<std::vector<bool>> AskConflictChoices(QWidget* window, const std::vector<booksync::Conflict>& conflicts)
{
    QDialog dialog(window);
    dialog.setObjectName(QStringLiteral("SyncConflicts"));
    dialog.setWindowTitle(QStringLiteral("同步冲突"));
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(QStringLiteral("这些字段在本机和服务器上都改过, 请为每一项选择保留哪一边的值:"), &dialog));
    auto* table = named(new QTableWidget(static_cast<int>(conflicts.size()), 5, &dialog), "Conflicts");
    table->setHorizontalHeaderLabels({QStringLiteral("姓名"), QStringLiteral("字段"), QStringLiteral("本机"),
                                      QStringLiteral("服务器"), QStringLiteral("保留")});
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    std::vector<QComboBox*> choices;
    for (int row = 0; row < static_cast<int>(conflicts.size()); ++row) {
        const booksync::Conflict& conflict = conflicts[static_cast<std::size_t>(row)];
        table->setItem(row, 0, new QTableWidgetItem(QString::fromStdString(conflict.name)));
        table->setItem(row, 1, new QTableWidgetItem(ColumnTitle(conflict.column)));
        table->setItem(row, 2, new QTableWidgetItem(QString::fromStdString(conflict.local)));
        table->setItem(row, 3, new QTableWidgetItem(QString::fromStdString(conflict.server)));
        auto* choice = new QComboBox(table);
        choice->setObjectName(QStringLiteral("Keep%1").arg(row));
        choice->addItems({QStringLiteral("本机"), QStringLiteral("服务器")});
        table->setCellWidget(row, 4, choice);
        choices.push_back(choice);
    }
    table->resizeColumnsToContents();
    layout->addWidget(table);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    QPushButton* ok = makeButton(&dialog, "Ok", QStringLiteral("确定"), {});
    QPushButton* cancel = makeButton(&dialog, "Cancel", QStringLiteral("取消"), {});
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    dialog.resize(640, 320);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    std::vector<bool> takeServer;
    for (QComboBox* choice : choices)
        takeServer.push_back(choice->currentIndex() == 1);
    return takeServer;
}
