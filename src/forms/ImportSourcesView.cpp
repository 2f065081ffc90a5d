#include "forms/ImportSourcesView.h"

#include "transfer/ImportPreview.h"

#include <QComboBox>
#include <QHeaderView>
#include <QSignalBlocker>
#include <QTableView>

namespace {

constexpr int TargetColumn = 2;

QString Text(const std::string& utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }

} // namespace

ImportSourcesModel::ImportSourcesModel(const transfer::ImportPreview& preview,
                                       std::function<bool(int row, int choice)> choose, QObject* parent)
    : QAbstractTableModel(parent), preview_(preview), choose_(std::move(choose))
{
}

int ImportSourcesModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(preview_.Sources().size());
}

int ImportSourcesModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 3; }

QVariant ImportSourcesModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole && role != Qt::EditRole))
        return {};
    const auto& source = preview_.Sources().at(static_cast<std::size_t>(index.row()));
    QString text;
    switch (index.column()) {
    case 0: {
        const QString name = Text(source.name);
        text = name.trimmed().isEmpty() ? QStringLiteral("(第%1列)").arg(index.row() + 1) : name;
        break;
    }
    case 1: text = preview_.Choosable() ? Text(source.sample) : QString::number(source.count); break;
    default: text = Text(preview_.ChosenText(index.row())); break;
    }
    if (role == Qt::ToolTipRole)
        return text.contains(QLatin1Char('\n')) || text.size() > 30 ? QVariant(text) : QVariant();
    // A value on one line of its cell.
    return role == Qt::DisplayRole ? text.simplified() : text;
}

QVariant ImportSourcesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    const bool table = preview_.Choosable();
    switch (section) {
    case 0: return table ? QStringLiteral("列名") : QStringLiteral("属性");
    case 1: return table ? QStringLiteral("第一个值") : QStringLiteral("出现次数");
    default: return QStringLiteral("导入到");
    }
}

Qt::ItemFlags ImportSourcesModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = Qt::ItemIsEnabled;
    if (index.column() == TargetColumn && preview_.Choosable())
        flags |= Qt::ItemIsEditable | Qt::ItemIsSelectable;
    return flags;
}

bool ImportSourcesModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || index.column() != TargetColumn || !preview_.Choosable())
        return false;
    const int choice = value.toInt();
    if (choice == preview_.Sources().at(static_cast<std::size_t>(index.row())).chosen)
        return true;
    if (!choose_(index.row(), choice))
        return false;
    // Another reading changes the first values of every column.
    SamplesChanged();
    return true;
}

void ImportSourcesModel::Reload()
{
    beginResetModel();
    endResetModel();
}

void ImportSourcesModel::SamplesChanged()
{
    if (rowCount() > 0)
        emit dataChanged(index(0, 1), index(rowCount() - 1, TargetColumn));
}

ImportTargetDelegate::ImportTargetDelegate(const transfer::ImportPreview& preview, QObject* parent)
    : QStyledItemDelegate(parent), preview_(preview)
{
}

QWidget* ImportTargetDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const
{
    auto* box = new QComboBox(parent);
    box->setObjectName(QStringLiteral("Target%1").arg(index.row()));
    for (const std::string& choice : preview_.Choices(index.row()))
        box->addItem(Text(choice));
    // A pick takes effect at once, without leaving the cell.
    connect(box, &QComboBox::currentIndexChanged, this, &ImportTargetDelegate::Commit);
    return box;
}

void ImportTargetDelegate::Commit() { emit commitData(qobject_cast<QWidget*>(sender())); }

void ImportTargetDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    auto* box = static_cast<QComboBox*>(editor);
    const QSignalBlocker quiet(box);
    box->setCurrentIndex(preview_.Sources().at(static_cast<std::size_t>(index.row())).chosen);
}

void ImportTargetDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    auto* box = static_cast<QComboBox*>(editor);
    if (!model->setData(index, box->currentIndex(), Qt::EditRole))
        setEditorData(editor, index); // cancelled: the column stays where it went
}

QTableView* MakeSourcesView(QWidget* parent, ImportSourcesModel* model, ImportTargetDelegate* delegate)
{
    auto* view = new QTableView(parent);
    view->setObjectName(QStringLiteral("Sources"));
    view->setModel(model);
    view->setItemDelegateForColumn(TargetColumn, delegate);
    view->verticalHeader()->hide();
    // Rows of one height: the list never measures a hundred thousand of them.
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 10);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectItems);
    view->setEditTriggers(QAbstractItemView::CurrentChanged | QAbstractItemView::SelectedClicked |
                          QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    view->setWordWrap(false);
    view->setColumnWidth(0, 200);
    view->setColumnWidth(1, 220);
    view->horizontalHeader()->setStretchLastSection(true);
    return view;
}
