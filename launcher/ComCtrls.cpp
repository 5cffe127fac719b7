#include "launcher/ComCtrls.h"

#include <QDragMoveEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListView>
#include <QMimeData>
#include <QPainter>
#include <QStackedLayout>
#include <QStandardItemModel>
#include <QTreeView>

namespace {

constexpr int kRowRole = Qt::UserRole + 1;

// Drags carry the dragged item's row under the launcher's own format.
class TToolItemModel : public QStandardItemModel {
public:
    using QStandardItemModel::QStandardItemModel;
    QStringList mimeTypes() const override { return {TListView::kDragFormat}; }
    QMimeData* mimeData(const QModelIndexList& indexes) const override
    {
        auto* data = new QMimeData;
        data->setData(TListView::kDragFormat,
                      indexes.isEmpty() ? QByteArray() : QByteArray::number(indexes.first().row()));
        return data;
    }
    Qt::DropActions supportedDragActions() const override { return Qt::CopyAction; }
};

void SetUpView(QAbstractItemView* v)
{
    v->setEditTriggers(QAbstractItemView::NoEditTriggers);
    v->setSelectionMode(QAbstractItemView::SingleSelection);
    v->setSelectionBehavior(QAbstractItemView::SelectRows);
    v->setDragDropMode(QAbstractItemView::DragOnly);
    v->setDefaultDropAction(Qt::CopyAction);
    v->setFrameShape(QFrame::StyledPanel);
}

}  // namespace

// --- TImageList --------------------------------------------------------------------------------

int TImageList::Add(const QIcon& icon)
{
    icons_.push_back(icon);
    return Count() - 1;
}

QIcon TImageList::Icon(int index) const
{
    return index >= 0 && index < Count() ? icons_[index] : QIcon();
}

// --- TListView -----------------------------------------------------------------------------------

TListView::TListView(QWidget* parent)
    : QWidget(parent), model_(new TToolItemModel(this)), list_(new QListView(this)), report_(new QTreeView(this)),
      stack_(new QStackedLayout(this))
{
    stack_->setContentsMargins(0, 0, 0, 0);
    stack_->addWidget(list_);
    stack_->addWidget(report_);
    list_->setModel(model_);
    report_->setModel(model_);
    report_->setSelectionModel(list_->selectionModel());
    SetUpView(list_);
    SetUpView(report_);
    list_->setResizeMode(QListView::Adjust);
    list_->setMovement(QListView::Static);
    list_->setWordWrap(true);
    report_->setRootIsDecorated(false);
    report_->setItemsExpandable(false);
    report_->setUniformRowHeights(true);
    report_->setIconSize(QSize(16, 16));
    report_->header()->setSectionsClickable(false);
    report_->header()->setSectionsMovable(false);
    report_->header()->setStretchLastSection(false);

    for (QAbstractItemView* v : {static_cast<QAbstractItemView*>(list_), static_cast<QAbstractItemView*>(report_)}) {
        v->installEventFilter(this);
        v->viewport()->installEventFilter(this);
        connect(v, &QAbstractItemView::clicked, this, [this] { Fire(OnClick); });
        connect(v, &QAbstractItemView::doubleClicked, this, [this] { Fire(OnDblClick); });
    }
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!filling_) Fire(OnChange);
    });
    SetViewStyle(TViewStyle::vsIcon);
}

TListView::~TListView() = default;

void TListView::FitFirstColumn()
{
    // The designed width is the least; a caption wider than that (the screen's font is not
    // the one the layout was designed with) widens the column so that names show whole.
    if (columns_.empty()) return;
    const QAbstractItemView* view = report_;
    report_->setColumnWidth(0, std::max(columns_.front().Width, view->sizeHintForColumn(0)));
}

void TListView::Clear()
{
    filling_ = true;
    model_->removeRows(0, model_->rowCount());
    items_.clear();
    filling_ = false;
    FitFirstColumn();
    Fire(OnChange);
}

int TListView::Add(TListItem item)
{
    int row = 0;
    while (row < Count() && CompareText(items_[row].Caption, item.Caption) <= 0) ++row;
    QList<QStandardItem*> cells;
    auto* first = new QStandardItem(ToQt(item.Caption));
    if (large_) first->setData(large_->Icon(item.ImageIndex), Qt::DecorationRole);
    first->setData(row, kRowRole);
    first->setDragEnabled(true);
    cells << first;
    for (const auto& s : item.SubItems) {
        auto* cell = new QStandardItem(ToQt(s));
        cell->setDragEnabled(true);
        cells << cell;
    }
    filling_ = true;
    model_->insertRow(row, cells);
    items_.insert(items_.begin() + row, std::move(item));
    filling_ = false;
    FitFirstColumn();
    Fire(OnChange);
    return row;
}

int TListView::SelectedIndex() const
{
    const QModelIndexList rows = list_->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

const TListItem* TListView::Selected() const
{
    const int row = SelectedIndex();
    return row >= 0 && row < Count() ? &items_[row] : nullptr;
}

void TListView::SetSelectedIndex(int row)
{
    QItemSelectionModel* sel = list_->selectionModel();
    if (row < 0 || row >= Count()) {
        sel->clearSelection();
        return;
    }
    const QModelIndex index = model_->index(row, 0);
    sel->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void TListView::SetViewStyle(TViewStyle style)
{
    style_ = style;
    switch (style) {
    case TViewStyle::vsIcon:
        list_->setViewMode(QListView::IconMode);
        list_->setFlow(QListView::LeftToRight);
        list_->setIconSize(QSize(large_ ? large_->Width : 32, large_ ? large_->Height : 32));
        list_->setGridSize(QSize(96, 72));
        list_->setWrapping(true);
        stack_->setCurrentWidget(list_);
        break;
    case TViewStyle::vsSmallIcon:
    case TViewStyle::vsList:
        list_->setViewMode(QListView::ListMode);
        list_->setFlow(style == TViewStyle::vsList ? QListView::TopToBottom : QListView::LeftToRight);
        list_->setIconSize(QSize(16, 16));
        list_->setGridSize(QSize());
        list_->setWrapping(true);
        stack_->setCurrentWidget(list_);
        break;
    case TViewStyle::vsReport:
        stack_->setCurrentWidget(report_);
        break;
    }
    // Icon mode may leave items at their icon-grid places; lay them out for the new mode.
    list_->doItemsLayout();
}

void TListView::SetColumns(const std::vector<TListColumn>& columns)
{
    QStringList labels;
    for (const auto& c : columns) labels << ToQt(c.Caption);
    model_->setColumnCount(static_cast<int>(columns.size()));
    model_->setHorizontalHeaderLabels(labels);
    for (int i = 0; i < static_cast<int>(columns.size()); ++i) report_->setColumnWidth(i, columns[i].Width);
    columns_ = columns;
    FitFirstColumn();
}

void TListView::SetDragEnabled(bool on)
{
    list_->setDragEnabled(on);
    report_->setDragEnabled(on);
}

QAbstractItemView* TListView::CurrentView() const
{
    return style_ == TViewStyle::vsReport ? static_cast<QAbstractItemView*>(report_) : list_;
}

QMimeData* TListView::DragData() const
{
    const int row = SelectedIndex();
    return model_->mimeData(row < 0 ? QModelIndexList() : QModelIndexList{model_->index(row, 0)});
}

bool TListView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && OnKeyDown && (watched == list_ || watched == report_)) {
        auto* k = static_cast<QKeyEvent*>(event);
        int key = k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter ? 13 : k->key();
        const int before = key;
        Guarded([&] { OnKeyDown(this, key); });
        if (key == 0 && before != 0) return true;  // the handler ate it
    }
    return QWidget::eventFilter(watched, event);
}

// --- TTreeView -----------------------------------------------------------------------------------

TTreeView::TTreeView(QWidget* parent) : TWinControl<QTreeWidget>(parent)
{
    setHeaderHidden(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DropOnly);
    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
        if (current && OnChange) Guarded([&] { OnChange(this, current); });
    });
}

int TTreeView::Level(const QTreeWidgetItem* node)
{
    int level = 0;
    for (const QTreeWidgetItem* p = node ? node->parent() : nullptr; p; p = p->parent()) ++level;
    return level;
}

bool TTreeView::AskDragOver(QDropEvent* e)
{
    bool accept = false;
    if (OnDragOver) Guarded([&] { OnDragOver(this, e->source(), e->mimeData(), e->position().toPoint(), accept); });
    return accept;
}

void TTreeView::dragEnterEvent(QDragEnterEvent* e)
{
    // Entering is always allowed; each move asks whether this place takes the drop.
    if (OnDragOver) e->acceptProposedAction();
    else e->ignore();
}

void TTreeView::dragMoveEvent(QDragMoveEvent* e)
{
    if (AskDragOver(e)) e->acceptProposedAction();
    else e->ignore();
}

void TTreeView::dropEvent(QDropEvent* e)
{
    if (!AskDragOver(e)) {
        e->ignore();
        return;
    }
    e->acceptProposedAction();
    if (OnDragDrop) Guarded([&] { OnDragDrop(this, e->source(), e->mimeData(), e->position().toPoint()); });
}

// --- TSplitter -----------------------------------------------------------------------------------

namespace {

class TSplitterHandle : public QSplitterHandle {
public:
    TSplitterHandle(Qt::Orientation o, TSplitter* parent) : QSplitterHandle(o, parent), owner_(parent) {}

protected:
    void paintEvent(QPaintEvent* e) override
    {
        QSplitterHandle::paintEvent(e);
        if (!owner_->OnPaint) return;
        QPainter p(this);
        Guarded([&] { owner_->OnPaint(owner_, p, rect()); });
    }

private:
    TSplitter* owner_;
};

}  // namespace

TSplitter::TSplitter(QWidget* parent) : QSplitter(parent) {}

QSplitterHandle* TSplitter::createHandle() { return new TSplitterHandle(orientation(), this); }
