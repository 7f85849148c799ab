#pragma once
// Keyed, ordered collection of part items. Items keep the order in which they were added;
// positions are 1-based; the key text of key number k is "k*" ("3*"). The collection owns
// its items; a pointer from Item stays valid until that item is removed or the collection ends.
//
// Usage (a concrete collection derives from it and adds its own Add):
//     class XELQRN_EXPORT cFoo : public XelCollection<XelFoo> {
//     public:
//         XelFoo* Add(qint32 iKey, const QString& sText) {
//             XelFoo* f = AddNew(iKey);   // nullptr: key outside 0..255 or already present
//             if (f) f->SetText(sText);
//             return f;
//         }
//     };
//     for (XelFoo* f : collection) ...;          // in collection order
//     collection.Item(2); collection.Item("3*"); // position / key; nullptr when missing
//
// T needs SetIndex(qint32), Changed() and ResetBackup().
#include "datamodel/SetupFault.h"

#include <QString>
#include <QVector>
#include <memory>
#include <vector>

template <class T>
class XelCollection {
public:
    XelCollection() = default;
    XelCollection(const XelCollection&) = delete;
    XelCollection& operator=(const XelCollection&) = delete;
    virtual ~XelCollection() = default;

    static QString KeyText(qint32 key) { return QString::number(key) + QLatin1Char('*'); }

    // 1-based position; nullptr outside 1..Count.
    T* Item(qint32 position) const
    {
        if (position < 1 || position > Count())
            return nullptr;
        return m_items[size_t(position - 1)].get();
    }
    // Key text such as "3*"; nullptr when no item has it.
    T* Item(const QString& key) const
    {
        const int i = Find(key);
        return i < 0 ? nullptr : m_items[size_t(i)].get();
    }
    T* Item(const char* key) const { return Item(QString::fromLatin1(key)); }

    qint32 Count() const { return qint32(m_items.size()); }

    // false (and nothing removed) when there is no such item.
    bool Remove(qint32 position)
    {
        if (position < 1 || position > Count())
            return false;
        EraseAt(position - 1);
        return true;
    }
    bool Remove(const QString& key)
    {
        const int i = Find(key);
        if (i < 0)
            return false;
        EraseAt(i);
        return true;
    }
    bool Remove(const char* key) { return Remove(QString::fromLatin1(key)); }

    // The items in collection order.
    QVector<T*> NewEnum() const
    {
        QVector<T*> all;
        all.reserve(Count());
        for (const auto& p : m_items)
            all.append(p.get());
        return all;
    }

    class const_iterator {
    public:
        using Base = typename std::vector<std::unique_ptr<T>>::const_iterator;
        explicit const_iterator(Base it) : m_it(it) {}
        T* operator*() const { return m_it->get(); }
        const_iterator& operator++() { ++m_it; return *this; }
        bool operator==(const const_iterator& o) const { return m_it == o.m_it; }
        bool operator!=(const const_iterator& o) const { return m_it != o.m_it; }
    private:
        Base m_it;
    };
    const_iterator begin() const { return const_iterator(m_items.cbegin()); }
    const_iterator end() const { return const_iterator(m_items.cend()); }

    // Library-internal: true at the first changed item.
    bool Changed() const
    {
        for (const auto& p : m_items)
            if (p->Changed())
                return true;
        return false;
    }
    void ResetBackup()
    {
        for (const auto& p : m_items)
            p->ResetBackup();
    }

protected:
    // A new item with Index = key, added at the end; nullptr (nothing added) when the key is
    // outside 0..255 or already present.
    T* AddNew(qint32 key)
    {
        if (key < 0 || key > 255 || Find(KeyText(key)) >= 0)
            return nullptr;
        auto item = std::make_unique<T>();
        item->SetIndex(key);
        T* raw = item.get();
        m_items.push_back(std::move(item));
        m_keys.append(KeyText(key));
        return raw;
    }

    // Runs op on each item in order; stops with false at the first item for which op is false.
    template <class Op>
    bool ForEachUntilFalse(Op op) const
    {
        for (const auto& p : m_items)
            if (!op(*p))
                return false;
        return true;
    }

    // Encodes each item in order; at the first that fails, fault (when given) gets the item's
    // Index and the field op named, and the loop stops with false.
    template <class Op>
    bool EncodeEach(SetupFault* fault, Op op) const
    {
        for (const auto& p : m_items) {
            QString field;
            if (!op(*p, &field)) {
                if (fault) {
                    fault->Item = p->Index();
                    fault->Field = field;
                }
                return false;
            }
        }
        return true;
    }

private:
    int Find(const QString& key) const
    {
        for (int i = 0; i < m_keys.size(); ++i)
            if (m_keys.at(i).compare(key, Qt::CaseInsensitive) == 0)
                return i;
        return -1;
    }
    void EraseAt(int i)
    {
        m_items.erase(m_items.begin() + i);
        m_keys.remove(i);
    }

    std::vector<std::unique_ptr<T>> m_items;
    QVector<QString> m_keys;
};
