#include "forms/ImportPreviewDialog.h"

#include "forms/ImportSourcesView.h"
#include "forms/TransferProgress.h"
#include "transfer/ImportPreview.h"

#include <QComboBox>
#include <QDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QString Text(std::string_view utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }

// A value on one line of a cell; the whole (shortened) value in its tooltip.
QTableWidgetItem* Cell(const QString& text)
{
    auto* item = new QTableWidgetItem(text.simplified());
    if (text.contains(QLatin1Char('\n')) || text.size() > 40)
        item->setToolTip(text);
    item->setFlags(Qt::ItemIsEnabled);
    return item;
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
        resize(780, 620);
        auto* layout = new QVBoxLayout(this);

        auto* file = new QLabel(QStringLiteral("文件: ") + fileName, this);
        file->setObjectName(QStringLiteral("FileName"));
        layout->addWidget(file);
        kind_ = new QLabel(this);
        kind_->setObjectName(QStringLiteral("Kind"));
        layout->addWidget(kind_);
        layout->addLayout(MakeEncodingRow());
        unrecognised_ = new QLabel(QStringLiteral("没有认出任何列名: 请在\"导入到\"一栏为要导入的列选择字段."), this);
        unrecognised_->setObjectName(QStringLiteral("Unrecognised"));
        layout->addWidget(unrecognised_);

        const bool table = preview_.Choosable();
        layout->addWidget(new QLabel(table ? QStringLiteral("文件中的列 (点\"导入到\"一栏可以更改):")
                                           : QStringLiteral("名片中的属性:"),
                                     this));
        sourcesModel_ = new ImportSourcesModel(
            preview_, [this](int row, int choice) { return TargetChosen(row, choice); }, this);
        sources_ = MakeSourcesView(this, sourcesModel_, new ImportTargetDelegate(preview_, this));
        layout->addWidget(sources_, 3);

        layout->addWidget(new QLabel(QStringLiteral("前几条记录导入后的样子:"), this));
        QStringList titles{QString()};
        for (int column = transfer::col::Category; column < transfer::col::Count; ++column)
            titles << Text(transfer::ColumnNames[column]);
        first_ = new QTableWidget(0, static_cast<int>(titles.size()), this);
        first_->setObjectName(QStringLiteral("FirstRecords"));
        first_->setHorizontalHeaderLabels(titles);
        first_->verticalHeader()->hide();
        first_->setSelectionMode(QAbstractItemView::NoSelection);
        first_->setEditTriggers(QAbstractItemView::NoEditTriggers);
        first_->setWordWrap(false);
        first_->setFocusPolicy(Qt::NoFocus);
        for (int column = 0; column < first_->columnCount(); ++column)
            first_->setColumnWidth(column, kRecordWidths[column]);
        layout->addWidget(first_, 2);

        repairsTitle_ = new QLabel(this);
        repairsTitle_->setObjectName(QStringLiteral("RepairsTitle"));
        layout->addWidget(repairsTitle_);
        repairs_ = new QListWidget(this);
        repairs_->setObjectName(QStringLiteral("Repairs"));
        repairs_->setUniformItemSizes(true);
        // Room for a few lines: the records matter more, and the list scrolls.
        repairs_->setMaximumHeight(repairs_->fontMetrics().height() * 5 + 12);
        layout->addWidget(repairs_);

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
        ShowReading();
    }

private:
    QHBoxLayout* MakeEncodingRow()
    {
        auto* row = new QHBoxLayout;
        auto* label = new QLabel(QStringLiteral("编码:"), this);
        encoding_ = new QComboBox(this);
        encoding_->setObjectName(QStringLiteral("Encoding"));
        label->setBuddy(encoding_);
        encodingNote_ = new QLabel(this);
        encodingNote_->setObjectName(QStringLiteral("EncodingNote"));
        row->addWidget(label);
        row->addWidget(encoding_);
        row->addWidget(encodingNote_, 1);
        connect(encoding_, &QComboBox::activated, this, [this](int choice) { EncodingChosen(choice); });
        return row;
    }

    // Everything that a new reading of the file changes.
    void ShowReading()
    {
        QString kind = QStringLiteral("类型: ") + Text(preview_.Kind());
        if (const std::string separator = preview_.Separator(); !separator.empty())
            kind += QStringLiteral("    分隔符: ") + Text(separator);
        kind_->setText(kind);
        {
            const QSignalBlocker quiet(encoding_);
            encoding_->clear();
            for (const transfer::Encoding& choice : preview_.EncodingChoices())
                encoding_->addItem(Text(transfer::EncodingDescription(choice)));
            encoding_->setCurrentIndex(preview_.EncodingChosen());
        }
        encodingNote_->setText(preview_.EncodingSure()
                                   ? QString()
                                   : QStringLiteral("(自动识别, 不一定对: 记录里的文字若是乱码, 请换一种编码)"));
        unrecognised_->setVisible(!preview_.Recognised());
        ShowFirstRecords();
        ShowRepairs();
        ShowCounts();
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

    void ShowRepairs()
    {
        const transfer::RepairLog& repairs = preview_.Repairs();
        repairs_->clear();
        repairsTitle_->setVisible(!repairs.Empty());
        repairs_->setVisible(!repairs.Empty());
        if (repairs.Empty())
            return;
        repairsTitle_->setText(QStringLiteral("读取时修复或跳过了%1处 (其余的都已导入):").arg(repairs.Count()));
        for (const transfer::Repair& repair : repairs.Entries())
            repairs_->addItem(QStringLiteral("第%1行: ").arg(repair.line) + Text(repair.what));
        if (repairs.Count() > repairs.Entries().size())
            repairs_->addItem(QStringLiteral("另有%1处没有列出.").arg(repairs.Count() - repairs.Entries().size()));
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
    bool TargetChosen(int row, int choice)
    {
        const int before = preview_.Sources()[static_cast<std::size_t>(row)].chosen;
        preview_.Choose(row, choice);
        if (!SurveyWithProgress(this, preview_)) {
            preview_.Choose(row, before);
            return false;
        }
        ShowFirstRecords();
        ShowRepairs();
        ShowCounts();
        return true;
    }

    // Another encoding: the file is read again in it; cancelled, nothing changes.
    void EncodingChosen(int choice)
    {
        if (choice == preview_.EncodingChosen())
            return;
        if (!transfer::RunInBackground(this, QStringLiteral("正在读取..."),
                                       [&](transfer::TaskControl& task) { preview_.ReadAgainIn(choice, &task); })) {
            const QSignalBlocker quiet(encoding_);
            encoding_->setCurrentIndex(preview_.EncodingChosen());
            return;
        }
        sourcesModel_->Reload();
        ShowReading();
    }

    transfer::ImportPreview& preview_;
    QLabel* kind_ = nullptr;
    QComboBox* encoding_ = nullptr;
    QLabel* encodingNote_ = nullptr;
    QLabel* unrecognised_ = nullptr;
    ImportSourcesModel* sourcesModel_ = nullptr;
    QTableView* sources_ = nullptr;
    QTableWidget* first_ = nullptr;
    QLabel* repairsTitle_ = nullptr;
    QListWidget* repairs_ = nullptr;
    QLabel* summary_ = nullptr;
    QRadioButton* skip_ = nullptr;
    QRadioButton* all_ = nullptr;
    QPushButton* import_ = nullptr;
};

} // namespace

bool SurveyWithProgress(QWidget* window, transfer::ImportPreview& preview)
{
    return transfer::RunInBackground(window, QStringLiteral("正在读取..."),
                                     [&](transfer::TaskControl& task) { preview.Survey(&task); });
}

bool ShowImportPreview(QWidget* window, const QString& fileName, transfer::ImportPreview& preview)
{
    PreviewDialog dialog(window, fileName, preview);
    return dialog.exec() == QDialog::Accepted;
}
