#pragma once
// Item models over the core's lines, so that lists of thousands of categories or a million
// respondent identifiers are shown without copying them into widgets.

#include <QAbstractListModel>
#include <functional>
#include <string>
#include <vector>

namespace tarnwick::gui {

// Rows are Windows-1250 lines given by a count and an accessor.
class LineListModel : public QAbstractListModel {
    Q_OBJECT
  public:
    using Accessor = std::function<const std::string&(int)>;
    explicit LineListModel(QObject* parent = nullptr) : QAbstractListModel(parent) {}

    // Replaces the rows (resets views).
    void SetLines(int count, Accessor accessor);

    // Shows the first `count` rows with their number in front, as the keys that take them.
    void NumberRows(int count) { numbered_ = count; }

    // Shows one row in bold (-1: none): the one a key goes to first.
    void MarkRow(int row);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

  private:
    int count_ = 0;
    int numbered_ = 0;
    int marked_ = -1;
    Accessor accessor_;
};

}  // namespace tarnwick::gui
