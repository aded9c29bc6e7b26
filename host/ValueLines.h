#pragma once

#include <QStringList>

class QWidget;

// The rows of a panel's read table as "name = value unit" lines; none when the panel has no such table.
QStringList readTableLines(const QWidget *panel);
