#include "ui/qt/line_list_model.h"

#include "platform/unicode_text.h"

#include <limits>

namespace quorvel::ui {
namespace {

int Row(std::size_t index) {
    return static_cast<int>(std::min<std::size_t>(index, std::numeric_limits<int>::max()));
}

// A line as the game wrote it: UTF-8 where it is that (from a Linux editor,
// say), else Windows-1252, the code page the game writes in. The line's
// bytes stay as they are; only what the row shows is decoded.
QString ShownText(std::string_view line) {
    const auto size = static_cast<qsizetype>(line.size());
    if (IsUtf8(line)) {
        return QString::fromUtf8(line.data(), size);
    }
    QString text(size, Qt::Uninitialized);
    QChar* out = text.data();
    for (const char c : line) {
        *out++ = QChar(Windows1252(static_cast<unsigned char>(c)));
    }
    return text;
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
    QString text = ShownText(display.shown);
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
