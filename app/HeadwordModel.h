#pragma once
// The items of the headword list WordsList: one row per index line of the
// dictionary, read from the store on demand, so a list of 60,000 headwords
// costs nothing to fill.
#include <QAbstractListModel>

class DictionaryStore;

class HeadwordModel : public QAbstractListModel {
    Q_OBJECT
public:
    HeadwordModel(const DictionaryStore& store, QObject* parent = nullptr);

    // Takes the store's current headwords (after loading, whole or partial).
    void Reload();
    // Shows another store's headwords (the other direction); it must outlive its use.
    void UseStore(const DictionaryStore& store);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    const DictionaryStore* store_;
    int count_ = 0;
};
