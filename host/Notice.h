#pragma once

#include <QString>

class QWidget;

// Tells the operator about a problem: always on stderr, and in a message box when someone is watching.
// A box never blocks: headless and timed runs must not wait for a click.
namespace Notice {

void setInteractive(bool interactive);
bool interactive();
void log(const QString &text);
void warn(QWidget *parent, const QString &text);

} // namespace Notice
