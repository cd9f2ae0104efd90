#include "printer/ui/logmodel.h"

#include "printer/core/describe.h"

#include <QBrush>
#include <QColor>

namespace posprinter {

namespace {

constexpr std::size_t HexShown = 48;
constexpr std::size_t TextKept = 4096;

} // namespace

LogModel::LogModel(QObject* parent) : QAbstractTableModel(parent) {}

LogModel::Row LogModel::rowOf(const DecodedItem& item) {
    Row row;
    row.offset = item.offset;
    row.end = item.offset + item.length;
    row.text = item.kind == DecodedItem::Kind::Text;
    row.unknown =
        item.kind == DecodedItem::Kind::Unknown || item.kind == DecodedItem::Kind::Incomplete;
    if (row.text)
        row.bytes = item.bytes.substr(0, TextKept);
    row.hex = hexText(item.bytes, HexShown);
    row.name = itemName(item);
    row.meaning = itemMeaning(item);
    return row;
}

void LogModel::append(const std::vector<DecodedItem>& items) {
    if (items.empty())
        return;
    std::vector<Row> added;
    added.reserve(items.size());
    bool lastChanged = false;
    for (const DecodedItem& item : items) {
        Row* last = !added.empty() ? &added.back() : (!m_rows.empty() ? &m_rows.back() : nullptr);
        if (last != nullptr && last->text && item.kind == DecodedItem::Kind::Text &&
            last->end == item.offset && last->bytes.size() < TextKept) {
            // One run of text, one row, even when it came in pieces.
            DecodedItem merged;
            merged.kind = DecodedItem::Kind::Text;
            merged.offset = last->offset;
            merged.bytes = last->bytes + item.bytes.substr(0, TextKept - last->bytes.size());
            merged.length = item.offset + item.length - last->offset;
            const Row row = rowOf(merged);
            *last = row;
            lastChanged = lastChanged || added.empty();
            continue;
        }
        added.push_back(rowOf(item));
    }
    if (lastChanged) {
        const int r = static_cast<int>(m_rows.size()) - 1;
        emit dataChanged(index(r, 0), index(r, ColumnCount - 1));
    }
    if (!added.empty()) {
        const int first = static_cast<int>(m_rows.size());
        beginInsertRows({}, first, first + static_cast<int>(added.size()) - 1);
        for (Row& row : added)
            m_rows.push_back(std::move(row));
        endInsertRows();
    }
    if (m_rows.size() > MaxRows) {
        const int drop = static_cast<int>(m_rows.size()) - MaxRows + MaxRows / 4;
        beginRemoveRows({}, 0, drop - 1);
        m_rows.erase(m_rows.begin(), m_rows.begin() + drop);
        endRemoveRows();
    }
}

void LogModel::clear() {
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

int LogModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int LogModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant LogModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= static_cast<int>(m_rows.size()))
        return {};
    const Row& row = m_rows[static_cast<std::size_t>(index.row())];
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        switch (index.column()) {
        case Offset:
            return QString::number(row.offset);
        case Hex:
            return row.hex;
        case Name:
            return row.name;
        case Meaning:
            return row.meaning;
        default:
            return {};
        }
    }
    if (role == Qt::ForegroundRole && row.unknown)
        return QBrush(QColor(180, 40, 40));
    if (role == Qt::TextAlignmentRole && index.column() == Offset)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant LogModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case Offset:
        return QStringLiteral("偏移");
    case Hex:
        return QStringLiteral("十六进制");
    case Name:
        return QStringLiteral("命令");
    case Meaning:
        return QStringLiteral("含义");
    default:
        return {};
    }
}

} // namespace posprinter
