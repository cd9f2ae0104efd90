#pragma once

// The decoded-command log: one row per item (offset, hex, name, meaning),
// neighbouring text merged into one row. It keeps the newest rows only, so a
// long stream cannot fill the memory.

#include "printer/core/decoder.h"

#include <QAbstractTableModel>
#include <QString>

#include <deque>
#include <vector>

namespace posprinter {

class LogModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Offset, Hex, Name, Meaning, ColumnCount };
    static constexpr int MaxRows = 20000;

    explicit LogModel(QObject* parent = nullptr);

    void append(const std::vector<DecodedItem>& items);
    void clear();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    struct Row {
        std::uint64_t offset = 0;
        std::uint64_t end = 0;
        bool text = false;
        bool unknown = false;
        std::string bytes; // text rows: kept to describe the merged run
        QString hex;
        QString name;
        QString meaning;
    };
    static Row rowOf(const DecodedItem& item);

    std::deque<Row> m_rows;
};

} // namespace posprinter
