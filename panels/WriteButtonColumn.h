#pragma once

#include <QObject>
#include <QPointer>

class QModelIndex;
class QPushButton;
class QTableWidget;

// The write buttons of the write table's third column. Each carries the "row" it sits in; the numbers
// follow rows inserted or removed above it, so a button never acts on another row's address.
class WriteButtonColumn : public QObject {
    Q_OBJECT

public:
    static constexpr int kColumn = 2;

    explicit WriteButtonColumn(QTableWidget *table);

    // A hidden button in its container, set as the row's cell widget.
    QPushButton *addButton(int row);
    QPushButton *buttonAt(int row) const;
    // The row whose cell holds this button, as its "row" says; -1 when that is not where it sits.
    int rowOf(const QPushButton *button) const;
    // Shows the button of this row (none for -1) and hides the one shown before.
    void showOnly(int row);

private:
    void renumberFrom(int row);
    void onRowsInserted(const QModelIndex &parent, int first, int last);
    void onRowsRemoved(const QModelIndex &parent, int first, int last);

    QTableWidget *m_table = nullptr;
    QPointer<QPushButton> m_shown;
};
