#pragma once

#include "platform/line_list.h"

#include <QAbstractListModel>

namespace quorvel::ui {

// Shows a LineList in a list view, one line per row, and keeps in step with
// every change to it. The text of a line is decoded only when its row is
// drawn (as UTF-8 where it is that, else as Windows-1252, the code page the
// game writes in), and a very long line is shown
// shortened, with an ellipsis (ShortenForDisplay); the line itself is left
// as it is.
class LineListModel : public QAbstractListModel, private LineList::Observer {
public:
    explicit LineListModel(LineList& lines, QObject* parent = nullptr);
    ~LineListModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    // As QAbstractListModel's, without asking the model for its row and
    // column counts through virtual calls: a list view asks for the index
    // of every row each time it lays out, millions of times for a large file.
    QModelIndex index(int row, int column = 0, const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    void BeforeInsert(std::size_t first, std::size_t count) override;
    void AfterInsert() override;
    void BeforeRemove(std::size_t first, std::size_t count) override;
    void AfterRemove() override;
    void BeforeReset() override;
    void AfterReset() override;

    LineList& lines_;
};

} // namespace quorvel::ui
