#include "WriteButtonColumn.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
constexpr const char *kRowProperty = "row";
const char *const kButtonStyle = "QPushButton{background-color:#00BCD4;color:white;font-size:18px;}"
                                 "QPushButton:hover{background-color:#03D3ED;}"
                                 "QPushButton:pressed{background-color:#038EA0;}";
} // namespace

WriteButtonColumn::WriteButtonColumn(QTableWidget *table)
    : QObject(table)
    , m_table(table)
{
    connect(table->model(), &QAbstractItemModel::rowsInserted, this, &WriteButtonColumn::onRowsInserted);
    connect(table->model(), &QAbstractItemModel::rowsRemoved, this, &WriteButtonColumn::onRowsRemoved);
}

QPushButton *WriteButtonColumn::addButton(int row)
{
    auto *button = new QPushButton(QStringLiteral("写入"));
    button->setFixedSize(60, 42);
    button->setStyleSheet(QLatin1String(kButtonStyle));
    button->setProperty(kRowProperty, row);
    button->hide();

    auto *buttonLayout = new QHBoxLayout;
    buttonLayout->setContentsMargins(2, 2, 2, 2);
    buttonLayout->setSpacing(0);
    buttonLayout->setAlignment(Qt::AlignCenter);
    buttonLayout->addWidget(button);

    auto *container = new QWidget;
    auto *containerLayout = new QVBoxLayout(container);
    containerLayout->setContentsMargins(0, 0, 0, 0);
    containerLayout->setSpacing(0);
    containerLayout->setAlignment(Qt::AlignCenter);
    containerLayout->addLayout(buttonLayout);

    m_table->setCellWidget(row, kColumn, container);
    return button;
}

QPushButton *WriteButtonColumn::buttonAt(int row) const
{
    QWidget *cell = m_table->cellWidget(row, kColumn);
    return cell ? cell->findChild<QPushButton *>() : nullptr;
}

int WriteButtonColumn::rowOf(const QPushButton *button) const
{
    bool ok = false;
    const int row = button->property(kRowProperty).toInt(&ok);
    if (!ok || row < 0 || buttonAt(row) != button)
        return -1;
    return row;
}

void WriteButtonColumn::showOnly(int row)
{
    QPushButton *button = row >= 0 ? buttonAt(row) : nullptr;
    if (m_shown && m_shown != button)
        m_shown->hide();
    if (button)
        button->show();
    m_shown = button;
}

void WriteButtonColumn::renumberFrom(int row)
{
    for (int r = row; r < m_table->rowCount(); ++r)
        if (QPushButton *button = buttonAt(r))
            button->setProperty(kRowProperty, r);
}

void WriteButtonColumn::onRowsInserted(const QModelIndex &, int, int last)
{
    renumberFrom(last + 1);
}

void WriteButtonColumn::onRowsRemoved(const QModelIndex &, int first, int)
{
    renumberFrom(first);
}
