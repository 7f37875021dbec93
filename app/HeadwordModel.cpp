#include "HeadwordModel.h"

#include "DictionaryStore.h"

#include <QSize>

namespace {
constexpr int kRowHeight = 14;
}

HeadwordModel::HeadwordModel(const DictionaryStore& store, QObject* parent)
    : QAbstractListModel(parent), store_(&store)
{
}

void HeadwordModel::Reload()
{
    beginResetModel();
    count_ = store_->HeadwordCount();
    endResetModel();
}

void HeadwordModel::UseStore(const DictionaryStore& store)
{
    beginResetModel();
    store_ = &store;
    count_ = store_->HeadwordCount();
    endResetModel();
}

int HeadwordModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : count_;
}

QVariant HeadwordModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= count_)
        return QVariant();
    if (role == Qt::DisplayRole)
        return store_->HeadwordText(index.row());
    // Rows of the designed height; the width is the list's.
    if (role == Qt::SizeHintRole)
        return QSize(0, kRowHeight);
    return QVariant();
}
