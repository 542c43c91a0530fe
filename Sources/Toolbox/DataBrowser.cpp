#include "DataBrowser.h"

#include "CommandEvents.h"
#include "TextEncoding.h"

#include <QAbstractTableModel>
#include <QAction>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMenu>
#include <QMouseEvent>
#include <QSet>
#include <QSortFilterProxyModel>
#include <QTreeView>

int32_t SetDataBrowserItemDataText(DataBrowserItemData& data, const char* sjisText) {
    data.text = sjisText ? sjisText : "";
    return 0;
}

namespace {

class CItemModel : public QAbstractTableModel {
public:
    CItemModel(QList<uint32_t> properties, QStringList titles, QObject* parent)
        : QAbstractTableModel(parent), m_properties(std::move(properties)),
          m_titles(std::move(titles)) {}

    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : int(m_items.size());
    }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : int(m_properties.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole || !index.isValid())
            return {};
        return QString::fromStdString(cellText(item(index.row()), m_properties.at(index.column())));
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < m_titles.size())
            return m_titles.at(section);
        return {};
    }

    std::string cellText(DataBrowserItemID item, DataBrowserPropertyID property) const {
        DataBrowserItemData data;
        if (!callbacks.itemData || callbacks.itemData(item, property, data, false) != 0)
            return {};
        return SystemTextToString(data.text.c_str()).toStdString();
    }
    DataBrowserItemID item(int row) const { return m_items.at(row); }
    uint32_t property(int column) const { return m_properties.value(column); }
    int columnOf(uint32_t property) const { return m_properties.indexOf(property); }

    void addItems(const DataBrowserItemID* items, uint32_t count) {
        QList<DataBrowserItemID> added;
        for (uint32_t i = 0; i < count; ++i)
            if (!m_present.contains(items[i])) {
                m_present.insert(items[i]);
                added.append(items[i]);
            }
        if (added.isEmpty())
            return;
        beginInsertRows({}, int(m_items.size()), int(m_items.size() + added.size() - 1));
        m_items.append(added);
        endInsertRows();
    }
    void clear() {
        beginResetModel();
        m_items.clear();
        m_present.clear();
        endResetModel();
    }
    void refresh() {
        if (!m_items.isEmpty())
            emit dataChanged(index(0, 0), index(int(m_items.size()) - 1, columnCount({}) - 1));
    }

    DataBrowserCallbacks callbacks;

private:
    QList<uint32_t> m_properties;
    QStringList m_titles;
    QList<DataBrowserItemID> m_items;
    QSet<DataBrowserItemID> m_present;
};

class CItemSortProxy : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override {
        auto* model = static_cast<CItemModel*>(sourceModel());
        if (!model->callbacks.compare)
            return left.row() < right.row();
        return model->callbacks.compare(model->item(left.row()), model->item(right.row()),
                                        model->property(left.column()));
    }
};

// Keeps right-clicks from selecting a row, which would open its page: they
// only open the contextual menu.
class CRightClickFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::RightButton)
                return true;
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }
};

QTreeView* ListView(ControlRef list) {
    return qobject_cast<QTreeView*>(list);
}

CItemModel* ModelOf(ControlRef list) {
    QTreeView* view = ListView(list);
    auto* proxy = view ? qobject_cast<QSortFilterProxyModel*>(view->model()) : nullptr;
    return proxy ? static_cast<CItemModel*>(proxy->sourceModel()) : nullptr;
}

// Builds the model behind a list the first time it is used.
CItemModel* EnsureModel(ControlRef list) {
    if (CItemModel* model = ModelOf(list))
        return model;
    QTreeView* view = ListView(list);
    if (!view)
        return nullptr;
    QList<uint32_t> properties;
    for (const QString& code : view->property("columns").toStringList())
        properties.append(CommandFromText(code.toLatin1().constData()));
    auto* model = new CItemModel(properties, view->property("titles").toStringList(), view);
    auto* proxy = new CItemSortProxy(view);
    proxy->setSourceModel(model);
    view->setModel(proxy);
    // The first column holds code and name; the rest are numbers.
    view->header()->setDefaultSectionSize(72);
    view->header()->resizeSection(0, 190);
    view->setRootIsDecorated(false);
    view->setUniformRowHeights(true);
    view->setSortingEnabled(true);
    view->sortByColumn(-1, Qt::AscendingOrder);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    // A row the user selects (a click, the arrow keys), not the current row
    // alone: the list gets one when it only gains the keyboard focus.
    QObject::connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, view,
                     [model, proxy](const QItemSelection& selected) {
                         const QModelIndexList rows = selected.indexes();
                         if (!rows.isEmpty() && model->callbacks.notification)
                             model->callbacks.notification(
                                 model->item(proxy->mapToSource(rows.first()).row()),
                                 kDataBrowserItemSelected);
                     });
    QObject::connect(
        view, &QAbstractItemView::doubleClicked, view, [model, proxy](const QModelIndex& index) {
            if (index.isValid() && model->callbacks.notification)
                model->callbacks.notification(model->item(proxy->mapToSource(index).row()),
                                              kDataBrowserItemDoubleClicked);
        });
    return model;
}

} // namespace

int32_t SetDataBrowserCallbacks(ControlRef list, const DataBrowserCallbacks& callbacks) {
    CItemModel* model = EnsureModel(list);
    if (!model)
        return -1;
    model->callbacks = callbacks;
    return 0;
}

int32_t SetDataBrowserContextualMenu(ControlRef list, QMenu* menu) {
    CItemModel* model = EnsureModel(list);
    if (!model || !menu) {
        delete menu;
        return -1;
    }
    QTreeView* view = ListView(list);
    auto* proxy = static_cast<QSortFilterProxyModel*>(view->model());
    menu->setParent(view, menu->windowFlags());
    view->viewport()->installEventFilter(new CRightClickFilter(view));
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    // The menu keeps the item of the row it was opened on.
    QObject::connect(view, &QWidget::customContextMenuRequested, menu,
                     [view, proxy, model, menu](const QPoint& position) {
                         const QModelIndex index = view->indexAt(position);
                         if (!index.isValid())
                             return;
                         menu->setProperty("item", model->item(proxy->mapToSource(index).row()));
                         menu->popup(view->viewport()->mapToGlobal(position));
                     });
    for (QAction* action : menu->actions()) {
        const uint32_t command = CommandOf(action);
        QObject::connect(action, &QAction::triggered, menu, [model, menu, command] {
            if (model->callbacks.contextualMenuCommand)
                model->callbacks.contextualMenuCommand(menu->property("item").toUInt(), command);
        });
    }
    return 0;
}

int32_t AddDataBrowserItems(ControlRef list, const DataBrowserItemID* items, uint32_t count) {
    CItemModel* model = EnsureModel(list);
    if (!model)
        return -1;
    model->addItems(items, count);
    return 0;
}

int32_t RemoveAllDataBrowserItems(ControlRef list) {
    CItemModel* model = ModelOf(list);
    if (!model)
        return -1;
    model->clear();
    return 0;
}

uint32_t GetDataBrowserItemCount(ControlRef list) {
    CItemModel* model = ModelOf(list);
    return model ? uint32_t(model->rowCount({})) : 0;
}

void SetDataBrowserSortProperty(ControlRef list, DataBrowserPropertyID property, bool descending) {
    CItemModel* model = EnsureModel(list);
    if (model)
        ListView(list)->sortByColumn(model->columnOf(property),
                                     descending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

DataBrowserItemID GetDataBrowserItemAtRow(ControlRef list, uint32_t row) {
    CItemModel* model = ModelOf(list);
    if (!model || row >= GetDataBrowserItemCount(list))
        return 0;
    auto* proxy = static_cast<QSortFilterProxyModel*>(ListView(list)->model());
    return model->item(proxy->mapToSource(proxy->index(int(row), 0)).row());
}

std::string GetDataBrowserCellText(ControlRef list, DataBrowserItemID item,
                                   DataBrowserPropertyID property) {
    CItemModel* model = ModelOf(list);
    return model ? model->cellText(item, property) : std::string();
}

void UpdateDataBrowserItems(ControlRef list) {
    if (CItemModel* model = ModelOf(list))
        model->refresh();
}
