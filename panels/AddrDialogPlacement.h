#pragma once

#include <QPoint>
#include <QRect>

class QWidget;

// Where the address item dialog goes: over the host's main window, kept on screen.
namespace AddrDialogPlacement {

inline constexpr int kDialogWidth = 500; // pixels
inline constexpr int kDialogHeight = 280; // pixels

// The last top-level widget of class "MainWindow", or null.
QWidget *findMainWindow();

// Left of the panel by the dialog's width; vertically from the main window's height (integer division).
QPoint ruleTopLeft(const QPoint &panelGlobal, int mainWindowHeight);

// Moves a rectangle the least distance needed to lie inside the area (top-left wins when it is larger).
QPoint keepInside(const QRect &rect, const QRect &area);

// Rule position (or centred over the panel's window when there is no main window), then kept on the
// available geometry of the screen that holds the window the dialog belongs to.
QPoint topLeftFor(QWidget *panel, QWidget *mainWindow, const QSize &dialogSize);

} // namespace AddrDialogPlacement
