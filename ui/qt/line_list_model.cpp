#include "ui/qt/line_list_model.h"

#include <limits>

namespace quorvel::ui {
namespace {

int Row(std::size_t index) {
    return static_cast<int>(std::min<std::size_t>(index, std::numeric_limits<int>::max()));
}

} // namespace

LineListModel::LineListModel(LineList& lines, QObject* parent)
    : QAbstractListModel(parent), lines_(lines) {
    lines_.SetObserver(this);
}

LineListModel::~LineListModel() {
    lines_.SetObserver(nullptr);
}

int LineListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Row(lines_.Count());
}

QModelIndex LineListModel::index(int row, int column, const QModelIndex& parent) const {
    if (parent.isValid() || column != 0 || row < 0 || row >= Row(lines_.Count())) {
        return {};
    }
    return createIndex(row, column);
}

QVariant LineListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() < 0 ||
        static_cast<std::size_t>(index.row()) >= lines_.Count()) {
        return {};
    }
    const DisplayText display =
        ShortenForDisplay(lines_.View(static_cast<std::size_t>(index.row())));
    QString text =
        QString::fromLocal8Bit(display.shown.data(), static_cast<qsizetype>(display.shown.size()));
    if (display.shortened) {
        text += QChar(0x2026); // …
    }
    return text;
}

void LineListModel::BeforeInsert(std::size_t first, std::size_t count) {
    beginInsertRows({}, Row(first), Row(first + count - 1));
}

void LineListModel::AfterInsert() {
    endInsertRows();
}

void LineListModel::BeforeRemove(std::size_t first, std::size_t count) {
    beginRemoveRows({}, Row(first), Row(first + count - 1));
}

void LineListModel::AfterRemove() {
    endRemoveRows();
}

void LineListModel::BeforeReset() {
    beginResetModel();
}

void LineListModel::AfterReset() {
    endResetModel();
}

} // namespace quorvel::ui
