// The launcher's common controls: an image list, a list view with the three view styles,
// a tree view that takes drops, and a splitter whose handle paints through an event.
#pragma once

#include "platform/ui/Controls.h"
#include "platform/ui/StdCtrls.h"

#include <QIcon>
#include <QList>
#include <QSplitter>
#include <QTreeWidget>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

class QAbstractItemView;
class QListView;
class QMimeData;
class QStackedLayout;
class QStandardItemModel;
class QTreeView;

// Icons of one size, addressed by index.
class TImageList {
public:
    int Width = 16;
    int Height = 16;

    int Add(const QIcon& icon);
    void Clear() { icons_.clear(); }
    int Count() const { return static_cast<int>(icons_.size()); }
    QIcon Icon(int index) const;  // an empty icon for an index out of range

private:
    QList<QIcon> icons_;
};

enum class TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };

struct TListItem {
    std::string Caption;
    std::vector<std::string> SubItems;
    int ImageIndex = -1;
    void* Data = nullptr;
};

struct TListColumn {
    std::string Caption;
    int Width = 50;
};

// Items with a caption, sub-items, an image and a data pointer, kept sorted by caption
// (without regard to case; equal captions in the order added). Icon and List show the large
// and small images; Report shows the columns. Dragging an item offers "application/x-tasklander-tool".
class TListView : public QWidget {
public:
    static constexpr const char* kDragFormat = "application/x-tasklander-tool";

    explicit TListView(QWidget* parent = nullptr);
    ~TListView() override;

    void Clear();
    // Returns the row the item took.
    int Add(TListItem item);
    int Count() const { return static_cast<int>(items_.size()); }
    const TListItem& Item(int row) const { return items_.at(row); }
    // The selected item, or null.
    const TListItem* Selected() const;
    int SelectedIndex() const;
    void SetSelectedIndex(int row);  // -1 clears the selection

    TViewStyle ViewStyle() const { return style_; }
    void SetViewStyle(TViewStyle style);
    void SetColumns(const std::vector<TListColumn>& columns);
    void SetLargeImages(TImageList* images) { large_ = images; }
    void SetSmallImages(TImageList* images) { small_ = images; }
    void SetDragEnabled(bool on);

    // The view the style shows (a list view for Icon and List, a tree view for Report).
    QAbstractItemView* CurrentView() const;
    // What a drag of the selected item carries.
    QMimeData* DragData() const;

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnChange;
    // Key codes as the class library passes them (13 for Enter).
    std::function<void(QObject* Sender, int& Key)> OnKeyDown;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Fire(const TNotifyEvent& e) { CallEvent(e, this); }
    void FitFirstColumn();

    std::vector<TListItem> items_;
    std::vector<TListColumn> columns_;  // as designed
    QStandardItemModel* model_;
    QListView* list_;
    QTreeView* report_;
    QStackedLayout* stack_;
    TImageList* large_ = nullptr;
    TImageList* small_ = nullptr;
    TViewStyle style_ = TViewStyle::vsIcon;
    bool filling_ = false;
};

// A tree whose nodes are chosen and that asks its events about drops.
class TTreeView : public TWinControl<QTreeWidget> {
public:
    explicit TTreeView(QWidget* parent = nullptr);

    // The node at a point of the viewport, or null.
    QTreeWidgetItem* GetNodeAt(const QPoint& p) const { return itemAt(p); }
    static int Level(const QTreeWidgetItem* node);

    // The current node changed to Node (never null).
    std::function<void(QObject* Sender, QTreeWidgetItem* Node)> OnChange;
    // Source is the drag's source (may be null); the handler sets Accept.
    std::function<void(QObject* Sender, QObject* Source, const QMimeData* Data, const QPoint& P, bool& Accept)> OnDragOver;
    std::function<void(QObject* Sender, QObject* Source, const QMimeData* Data, const QPoint& P)> OnDragDrop;

protected:
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    bool AskDragOver(QDropEvent* e);
};

// A splitter whose handles paint through OnPaint (the handle's rectangle, in its own coordinates).
class TSplitter : public QSplitter {
public:
    explicit TSplitter(QWidget* parent = nullptr);

    std::function<void(QObject* Sender, QPainter& Painter, const QRect& Rect)> OnPaint;

protected:
    QSplitterHandle* createHandle() override;
};
