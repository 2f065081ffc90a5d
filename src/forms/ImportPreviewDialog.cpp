#include "forms/ImportPreviewDialog.h"

#include "forms/TransferProgress.h"
#include "transfer/ImportPreview.h"

#include <QComboBox>
#include <QDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString Text(std::string_view utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }

// A value on one line of a cell; the whole value in its tooltip.
QTableWidgetItem* Cell(const QString& text)
{
    auto* item = new QTableWidgetItem(text.simplified());
    if (text.contains(QLatin1Char('\n')) || text.size() > 40)
        item->setToolTip(text);
    item->setFlags(Qt::ItemIsEnabled);
    return item;
}

QTableWidget* MakeTable(QWidget* parent, const char* name, const QStringList& titles)
{
    auto* table = new QTableWidget(0, static_cast<int>(titles.size()), parent);
    table->setObjectName(QString::fromLatin1(name));
    table->setHorizontalHeaderLabels(titles);
    table->verticalHeader()->hide();
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setWordWrap(false);
    table->setFocusPolicy(Qt::NoFocus); // the boxes in it take the focus, the cells need none
    return table;
}

// The widths of the record columns: about those of the main window's grid.
constexpr int kRecordWidths[] = {40, 70, 110, 80, 130, 130, 110, 180, 180, 260};

class PreviewDialog final : public QDialog {
public:
    PreviewDialog(QWidget* window, const QString& fileName, transfer::ImportPreview& preview)
        : QDialog(window), preview_(preview)
    {
        setObjectName(QStringLiteral("ImportPreview"));
        setWindowTitle(QStringLiteral("导入预览"));
        setWindowModality(Qt::ApplicationModal);
        resize(780, 580);
        auto* layout = new QVBoxLayout(this);

        auto* file = new QLabel(QStringLiteral("文件: ") + fileName, this);
        file->setObjectName(QStringLiteral("FileName"));
        layout->addWidget(file);
        kind_ = new QLabel(this);
        kind_->setObjectName(QStringLiteral("Kind"));
        layout->addWidget(kind_);
        if (!preview_.Recognised()) {
            auto* notice =
                new QLabel(QStringLiteral("没有认出任何列名: 请在\"导入到\"一栏为要导入的列选择字段."), this);
            notice->setObjectName(QStringLiteral("Unrecognised"));
            layout->addWidget(notice);
        }

        const bool table = preview_.Choosable();
        layout->addWidget(new QLabel(table ? QStringLiteral("文件中的列:") : QStringLiteral("名片中的属性:"), this));
        sources_ = MakeTable(this, "Sources",
                             table ? QStringList{QStringLiteral("列名"), QStringLiteral("第一个值"), QStringLiteral("导入到")}
                                   : QStringList{QStringLiteral("属性"), QStringLiteral("出现次数"), QStringLiteral("导入到")});
        layout->addWidget(sources_, 3);

        layout->addWidget(new QLabel(QStringLiteral("前几条记录导入后的样子:"), this));
        QStringList titles{QString()};
        for (int column = transfer::col::Category; column < transfer::col::Count; ++column)
            titles << Text(transfer::ColumnNames[column]);
        first_ = MakeTable(this, "FirstRecords", titles);
        for (int column = 0; column < first_->columnCount(); ++column)
            first_->setColumnWidth(column, kRecordWidths[column]);
        layout->addWidget(first_, 2);

        summary_ = new QLabel(this);
        summary_->setObjectName(QStringLiteral("Summary"));
        summary_->setWordWrap(true);
        layout->addWidget(summary_);

        auto* choices = new QHBoxLayout;
        skip_ = new QRadioButton(QStringLiteral("跳过重复"), this);
        skip_->setObjectName(QStringLiteral("SkipDuplicates"));
        all_ = new QRadioButton(QStringLiteral("全部导入"), this);
        all_->setObjectName(QStringLiteral("ImportAll"));
        (preview_.skipDuplicates ? skip_ : all_)->setChecked(true);
        choices->addWidget(skip_);
        choices->addWidget(all_);
        choices->addStretch();
        import_ = new QPushButton(QStringLiteral("导入"), this);
        import_->setObjectName(QStringLiteral("Import"));
        import_->setDefault(true);
        auto* cancel = new QPushButton(QStringLiteral("取消"), this);
        cancel->setObjectName(QStringLiteral("Cancel"));
        cancel->setAutoDefault(false);
        choices->addWidget(import_);
        choices->addWidget(cancel);
        layout->addLayout(choices);

        connect(import_, &QPushButton::clicked, this, &QDialog::accept);
        connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
        connect(skip_, &QRadioButton::toggled, this, [this](bool skip) {
            preview_.skipDuplicates = skip;
            ShowCounts();
        });

        ShowKind();
        ShowSources();
        ShowFirstRecords();
        ShowCounts();
    }

private:
    void ShowKind()
    {
        QString kind = QStringLiteral("类型: %1    编码: %2").arg(Text(preview_.Kind()), Text(preview_.Encoding()));
        if (const std::string separator = preview_.Separator(); !separator.empty())
            kind += QStringLiteral("    分隔符: ") + Text(separator);
        kind_->setText(kind);
    }

    void ShowSources()
    {
        const auto& sources = preview_.Sources();
        sources_->setRowCount(static_cast<int>(sources.size()));
        for (int row = 0; row < sources_->rowCount(); ++row) {
            const transfer::ImportPreview::Source& source = sources[static_cast<std::size_t>(row)];
            const QString name = Text(source.name);
            sources_->setItem(row, 0, Cell(name.trimmed().isEmpty() ? QStringLiteral("(第%1列)").arg(row + 1) : name));
            sources_->setItem(row, 1, Cell(preview_.Choosable() ? Text(source.sample) : QString::number(source.count)));
            if (!preview_.Choosable()) {
                sources_->setItem(row, 2, Cell(Text(source.choices.front())));
                continue;
            }
            auto* target = new QComboBox(sources_);
            target->setObjectName(QStringLiteral("Target%1").arg(row));
            for (const std::string& choice : source.choices)
                target->addItem(Text(choice));
            target->setCurrentIndex(source.chosen);
            connect(target, &QComboBox::currentIndexChanged, this,
                    [this, row, target](int choice) { TargetChosen(row, target, choice); });
            sources_->setCellWidget(row, 2, target);
        }
        sources_->resizeColumnsToContents();
        sources_->setColumnWidth(0, std::clamp(sources_->columnWidth(0), 140, 240));
        sources_->setColumnWidth(1, std::clamp(sources_->columnWidth(1), 160, 240));
        sources_->horizontalHeader()->setStretchLastSection(true);
    }

    void ShowFirstRecords()
    {
        const auto& records = preview_.FirstRecords();
        const std::vector<bool> duplicates = preview_.FirstAreDuplicates();
        first_->setRowCount(static_cast<int>(records.size()));
        for (int row = 0; row < first_->rowCount(); ++row) {
            const auto index = static_cast<std::size_t>(row);
            first_->setItem(row, 0, Cell(duplicates[index] ? QStringLiteral("重复") : QString()));
            for (int column = transfer::col::Category; column < transfer::col::Count; ++column)
                first_->setItem(row, column, Cell(Text(records[index][column])));
        }
    }

    void ShowCounts()
    {
        QString text = QStringLiteral("还没有选择要导入的列.");
        if (preview_.ImportsAnything()) {
            text = QStringLiteral("文件中有%1条记录").arg(preview_.Records());
            if (preview_.Duplicates() > 0)
                text += QStringLiteral(", 其中%1条与通讯录里已有的或文件中前面的记录重复 (姓名相同, 且有相同的电话或邮箱)")
                            .arg(preview_.Duplicates());
            text += QStringLiteral(". 将添加%1条记录.").arg(preview_.ToAdd());
        }
        summary_->setText(text);
        skip_->setEnabled(preview_.Duplicates() > 0);
        all_->setEnabled(preview_.Duplicates() > 0);
        import_->setEnabled(preview_.ImportsAnything() && preview_.ToAdd() > 0);
    }

    // A column sent elsewhere: the file is read again; cancelled, the column
    // goes back where it went.
    void TargetChosen(int row, QComboBox* target, int choice)
    {
        const int before = preview_.Sources()[static_cast<std::size_t>(row)].chosen;
        preview_.Choose(row, choice);
        if (!SurveyWithProgress(this, preview_)) {
            preview_.Choose(row, before);
            const QSignalBlocker quiet(target);
            target->setCurrentIndex(before);
            return;
        }
        sources_->setItem(row, 1, Cell(Text(preview_.Sources()[static_cast<std::size_t>(row)].sample)));
        ShowFirstRecords();
        ShowCounts();
    }

    transfer::ImportPreview& preview_;
    QLabel* kind_ = nullptr;
    QTableWidget* sources_ = nullptr;
    QTableWidget* first_ = nullptr;
    QLabel* summary_ = nullptr;
    QRadioButton* skip_ = nullptr;
    QRadioButton* all_ = nullptr;
    QPushButton* import_ = nullptr;
};

} // namespace

bool SurveyWithProgress(QWidget* window, transfer::ImportPreview& preview)
{
    const std::unique_ptr<transfer::ImportSurvey> survey = preview.StartSurvey();
    if (!transfer::RunWithProgress(window, QStringLiteral("正在读取..."), [&] { return survey->Step(transfer::RecordsPerStep); },
                                   [&] { return survey->Progress(); }))
        return false;
    preview.Adopt(*survey);
    return true;
}

bool ShowImportPreview(QWidget* window, const QString& fileName, transfer::ImportPreview& preview)
{
    PreviewDialog dialog(window, fileName, preview);
    return dialog.exec() == QDialog::Accepted;
}
